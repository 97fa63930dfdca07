// Run: ctest --preset release -R SharedLibraryLoad
// The built KorvelPallisk library loaded and unloaded by the system's own loader (dlopen on ELF
// systems, LoadLibrary on Windows): the shell must register the library with the process's
// framework at load and withdraw it at unload.
#include <gtest/gtest.h>

#include <vector>

#include "module/framework_calls.hpp"
#include "module/module_shell.hpp"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace korvel::module {
namespace {

using framework::testing::AllocateCall;
using framework::testing::CallRecord;
using framework::testing::CallsFrom;
using framework::testing::ConstructCall;
using framework::testing::CurrentModuleStateCall;
using framework::testing::InitializeCall;
using framework::testing::Registrations;
using framework::testing::TerminateCall;

#ifdef _WIN32
using Handle = HMODULE;
Handle Open() {
  return LoadLibraryA(KORVEL_PALLISK_LIBRARY);
}
bool IsLoaded() {
  return GetModuleHandleA(KORVEL_PALLISK_LIBRARY) != nullptr;
}
void Close(Handle handle) {
  FreeLibrary(handle);
}
// The loader's instance handle is the module handle.
const void* InstanceOf(Handle handle) {
  return handle;
}
#else
using Handle = void*;
Handle Open() {
  return dlopen(KORVEL_PALLISK_LIBRARY, RTLD_NOW | RTLD_LOCAL);
}
bool IsLoaded() {
  void* const handle = dlopen(KORVEL_PALLISK_LIBRARY, RTLD_NOW | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle != nullptr;
}
void Close(Handle handle) {
  dlclose(handle);
}
// The shell passes the library's load address, as the Windows loader does.
const void* InstanceOf(Handle handle) {
  Dl_info info{};
  void* const symbol = dlsym(handle, "Pallisk");
  return symbol != nullptr && dladdr(symbol, &info) != 0 ? info.dli_fbase : nullptr;
}
#endif

class SharedLibraryLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    // An earlier test that left the library open would hide the load from this one.
    ASSERT_FALSE(IsLoaded()) << KORVEL_PALLISK_LIBRARY << " is already loaded in this process";
    framework::testing::Reset();
  }
  void TearDown() override { framework::testing::Reset(); }
};

TEST_F(SharedLibraryLoad, LoadRegistersAndUnloadWithdraws) {
  const Handle handle = Open();
  ASSERT_NE(handle, nullptr);

  const std::vector<CallRecord> loadCalls = CallsFrom();
  ASSERT_EQ(loadCalls.size(), 4u);
  // The library's own record: the test program's copy of the shell is not the one that ran.
  const framework::ExtensionModuleRecord* const record = loadCalls[1].record;
  EXPECT_NE(record, nullptr);
  EXPECT_NE(record, &extensionModuleRecord);
  EXPECT_EQ(loadCalls[0], CurrentModuleStateCall());
  EXPECT_EQ(loadCalls[1], InitializeCall(record, InstanceOf(handle)));
  EXPECT_EQ(loadCalls[2], AllocateCall(64));
  EXPECT_EQ(loadCalls[3], ConstructCall(record, loadCalls[3].pointer));
  EXPECT_EQ(Registrations(), std::vector<const framework::ExtensionModuleRecord*>{record});

  Close(handle);

  EXPECT_FALSE(IsLoaded());
  EXPECT_EQ(CallsFrom(loadCalls.size()), std::vector<CallRecord>{TerminateCall(record)});
  EXPECT_TRUE(Registrations().empty());
}

TEST_F(SharedLibraryLoad, RefusedInitialisationLeavesNoRegistration) {
  framework::testing::SetInitializationAnswer(0);

  const Handle handle = Open();

  const std::vector<CallRecord> calls = CallsFrom();
  ASSERT_GE(calls.size(), 2u);
  const framework::ExtensionModuleRecord* const record = calls[1].record;
  // A refused attach is followed at once by detach: the Windows loader then unloads the library;
  // dlopen cannot fail from a constructor, so the library stays loaded but withdrawn.
  EXPECT_EQ(calls, (std::vector<CallRecord>{CurrentModuleStateCall(),
                                            InitializeCall(record, calls[1].pointer),
                                            TerminateCall(record)}));
  EXPECT_TRUE(Registrations().empty());
#ifdef _WIN32
  EXPECT_EQ(handle, nullptr) << "have a loaded library, want the load refused";
#else
  ASSERT_NE(handle, nullptr);
  Close(handle);
  EXPECT_EQ(CallsFrom(calls.size()), std::vector<CallRecord>{}) << "no second withdrawal";
#endif
}

}  // namespace
}  // namespace korvel::module
