// What runs when a host process loads or unloads the library: it registers the library with the
// framework at load and withdraws it at unload. It does no image work. Each platform's loader
// wiring (entry_windows.cpp, entry_linux.cpp) calls ModuleEntry.
#pragma once

#include <cstdint>

#include "platform/framework.hpp"

namespace korvel::module {

// The loader's reason codes, as the operating system numbers them.
inline constexpr std::uint32_t kProcessDetach = 0;
inline constexpr std::uint32_t kProcessAttach = 1;
inline constexpr std::uint32_t kThreadAttach = 2;
inline constexpr std::uint32_t kThreadDetach = 3;

// Zero-filled static storage from load to unload; only the framework reads and writes it.
extern framework::ExtensionModuleRecord extensionModuleRecord;

// The loader's entry: answers nonzero for success; 0 on process attach makes the load fail.
std::int32_t ModuleEntry(void* instance, std::uint32_t reason, void* reserved);

// At process attach, parks the framework's registration lists so that the library's own static
// initialisation registers into empty ones. Does nothing for other reasons. Answers 1.
std::int32_t RawEntryHook(void* instance, std::uint32_t reason, void* reserved);

// Registers the library with the framework at process attach (0 when the framework refuses) and
// withdraws it at process detach; thread notifications do nothing. Answers 1 otherwise.
std::int32_t ExtensionModuleMain(void* instance, std::uint32_t reason, void* reserved);

}  // namespace korvel::module
