// The loader's notifications on ELF systems: the dynamic loader runs the constructor after the
// library's own static initialisation (empty) when the library is loaded, and the destructor
// when it is unloaded, so the same shell runs as under the Windows loader. There are no thread
// notifications here.
#include <dlfcn.h>

#include "module/module_shell.hpp"

namespace korvel::module {
namespace {

// Constant-initialised: set only once a load has been accepted.
bool attached = false;

// The Windows loader passes the module's base address as its instance handle; do the same.
void* ModuleInstance() {
  Dl_info info{};
  return dladdr(&attached, &info) != 0 ? info.dli_fbase : nullptr;
}

__attribute__((constructor)) void OnLoad() {
  void* const instance = ModuleInstance();
  if (ModuleEntry(instance, kProcessAttach, nullptr) != 0) {
    attached = true;
    return;
  }
  // A refused attach fails a Windows load, and that loader then delivers process detach at once.
  // dlopen cannot be made to fail from here: withdraw the same way and stay inert until unload.
  ModuleEntry(instance, kProcessDetach, nullptr);
}

__attribute__((destructor)) void OnUnload() {
  if (!attached) return;
  attached = false;
  ModuleEntry(ModuleInstance(), kProcessDetach, nullptr);
}

}  // namespace
}  // namespace korvel::module
