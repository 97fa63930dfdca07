// The loader's entry on Windows. The C runtime's DLL start-up runs first (static initialisation,
// empty in this library) and then hands every notification to DllMain.
#include <windows.h>

#include "module/module_shell.hpp"

static_assert(DLL_PROCESS_DETACH == korvel::module::kProcessDetach);
static_assert(DLL_PROCESS_ATTACH == korvel::module::kProcessAttach);
static_assert(DLL_THREAD_ATTACH == korvel::module::kThreadAttach);
static_assert(DLL_THREAD_DETACH == korvel::module::kThreadDetach);

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  return korvel::module::ModuleEntry(instance, reason, reserved);
}
