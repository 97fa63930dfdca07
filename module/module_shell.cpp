#include "module/module_shell.hpp"

namespace korvel::module {

// Namespace-scope and trivially constructible, so it is zero-filled before any code of the
// library runs and adds nothing to the runtime's initialiser or terminator lists.
framework::ExtensionModuleRecord extensionModuleRecord;

std::int32_t ModuleEntry(void* instance, std::uint32_t reason, void* reserved) {
  switch (reason) {
    case kProcessAttach:
      RawEntryHook(instance, reason, reserved);
      // Static initialisation comes here; the library has none (the C runtime's start-up, which
      // runs before the loader's call reaches this function, finds its lists empty).
      return ExtensionModuleMain(instance, reason, reserved);
    case kProcessDetach:
      ExtensionModuleMain(instance, reason, reserved);
      // Static termination comes here; the library registers no exit-time function.
      RawEntryHook(instance, reason, reserved);
      return 1;
    default:
      // Thread attach and detach, and any reason a later system adds.
      ExtensionModuleMain(instance, reason, reserved);
      return 1;
  }
}

std::int32_t RawEntryHook(void* /*instance*/, std::uint32_t reason, void* /*reserved*/) {
  if (reason != kProcessAttach) return 1;
  framework::ModuleState* const state = framework::CurrentModuleState();
  state->runtimeClasses.savedHead = state->runtimeClasses.head;
  state->runtimeClasses.head = nullptr;
  state->objectFactories.savedHead = state->objectFactories.head;
  state->objectFactories.head = nullptr;
  return 1;
}

std::int32_t ExtensionModuleMain(void* instance, std::uint32_t reason, void* /*reserved*/) {
  if (reason == kProcessAttach) {
    if (framework::InitializeExtensionModule(extensionModuleRecord, instance) == 0) return 0;
    // The framework owns the registration object from its construction on; no pointer to it is
    // kept. An allocation that gives nothing leaves the library unregistered but loaded.
    void* const storage = framework::Allocate(framework::kLibraryRegistrationBytes);
    if (storage != nullptr) {
      framework::ConstructLibraryRegistration(storage, extensionModuleRecord, 0);
    }
    return 1;
  }
  if (reason == kProcessDetach) {
    framework::TerminateExtensionModule(extensionModuleRecord, 0);
  }
  return 1;
}

}  // namespace korvel::module
