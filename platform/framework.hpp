// A small stand-in for the application framework the library was first an extension module of:
// the calls the module shell makes at load and unload, and nothing else. It is its own shared
// library (KorvelFramework), as the framework was its own DLL, so that every module of a process
// meets the same module state and the same list of registered libraries.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#if defined(KORVEL_FRAMEWORK_BUILDING)
#define KORVEL_FRAMEWORK_API __declspec(dllexport)
#else
#define KORVEL_FRAMEWORK_API __declspec(dllimport)
#endif
#else
#define KORVEL_FRAMEWORK_API __attribute__((visibility("default")))
#endif

namespace korvel::framework {

// One of the framework's intrusive registration lists: `head` is the newest entry; `savedHead`
// parks the list of the module that was running while another module registers its own.
struct RegistrationList {
  void* head;
  void* savedHead;
};

// The framework's record of the module now running.
struct ModuleState {
  RegistrationList runtimeClasses;
  RegistrationList objectFactories;
};

// Filled by InitializeExtensionModule. A module keeps it in zero-filled static storage (so it
// needs no constructor) and never touches its fields.
struct ExtensionModuleRecord {
  std::int32_t initialized;
  void* instance;
  void* runtimeClasses;  // what the module registered during its static initialisation
  void* objectFactories;
};

// The library-registration object never grows past what a module reserves for it.
inline constexpr std::size_t kLibraryRegistrationBytes = 64;

KORVEL_FRAMEWORK_API ModuleState* CurrentModuleState();

// Takes the lists the module filled since its hook emptied them into `record` and gives the
// running module its parked lists back. Answers nonzero on success, 0 on failure.
KORVEL_FRAMEWORK_API std::int32_t InitializeExtensionModule(ExtensionModuleRecord& record,
                                                            void* instance);

// The framework's allocator: storage, or null. Release with Release.
KORVEL_FRAMEWORK_API void* Allocate(std::size_t bytes);
KORVEL_FRAMEWORK_API void Release(void* storage);

// Builds the library-registration object in `storage` (kLibraryRegistrationBytes from Allocate)
// and adds it to the process's registered libraries; the framework owns it from then on.
KORVEL_FRAMEWORK_API void ConstructLibraryRegistration(void* storage, ExtensionModuleRecord& record,
                                                       std::int32_t flag);

// Withdraws and releases the registrations made from `record` (every registration when `flag` is
// nonzero) and marks the record uninitialised.
KORVEL_FRAMEWORK_API void TerminateExtensionModule(ExtensionModuleRecord& record,
                                                   std::int32_t flag);

}  // namespace korvel::framework
