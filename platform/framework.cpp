// The framework stand-in and its test seam. The framework may lock: the calls of a process's
// modules can arrive on any thread. The module shell takes no locks of its own.
#include "platform/framework.hpp"

#include <cstdlib>
#include <mutex>
#include <new>
#include <vector>

#include "platform/framework_testing.hpp"

namespace korvel::framework {
namespace {

using testing::Call;
using testing::CallRecord;

struct LibraryRegistration {
  const ExtensionModuleRecord* record;  // compared, never read: its module may be gone
  void* instance;
  LibraryRegistration* next;
  std::int32_t flag;
};
static_assert(sizeof(LibraryRegistration) <= kLibraryRegistrationBytes,
              "modules reserve kLibraryRegistrationBytes for the registration object");
static_assert(alignof(LibraryRegistration) <= alignof(std::max_align_t),
              "Allocate's storage is aligned for any fundamental type");

struct Framework {
  std::mutex mutex;
  ModuleState state{};
  LibraryRegistration* registrations = nullptr;
  std::vector<CallRecord> calls;
  std::int32_t initializationAnswer = 1;
  bool allocationGivesNothing = false;
};

// Built on first use and never destroyed, so that a module unloaded during process exit can
// still reach it after this library's own static termination.
Framework& TheFramework() {
  static Framework* const framework = new Framework;
  return *framework;
}

void Log(Framework& framework, CallRecord call) {
  try {
    framework.calls.push_back(call);
  } catch (const std::bad_alloc&) {
    // The log is for tests; a call must not fail because of it.
  }
}

}  // namespace

ModuleState* CurrentModuleState() {
  Framework& framework = TheFramework();
  const std::lock_guard<std::mutex> lock(framework.mutex);
  Log(framework, {Call::kCurrentModuleState, nullptr, nullptr, 0, 0});
  return &framework.state;
}

std::int32_t InitializeExtensionModule(ExtensionModuleRecord& record, void* instance) {
  Framework& framework = TheFramework();
  const std::lock_guard<std::mutex> lock(framework.mutex);
  Log(framework, {Call::kInitializeExtensionModule, &record, instance, 0, 0});
  if (framework.initializationAnswer == 0) return 0;
  record.initialized = 1;
  record.instance = instance;
  for (auto [list, taken] :
       {std::pair{&framework.state.runtimeClasses, &record.runtimeClasses},
        std::pair{&framework.state.objectFactories, &record.objectFactories}}) {
    *taken = list->head;
    list->head = list->savedHead;
    list->savedHead = nullptr;
  }
  return framework.initializationAnswer;
}

void* Allocate(std::size_t bytes) {
  Framework& framework = TheFramework();
  const std::lock_guard<std::mutex> lock(framework.mutex);
  Log(framework, {Call::kAllocate, nullptr, nullptr, bytes, 0});
  if (framework.allocationGivesNothing) return nullptr;
  return std::malloc(bytes == 0 ? 1 : bytes);
}

void Release(void* storage) {
  std::free(storage);
}

void ConstructLibraryRegistration(void* storage, ExtensionModuleRecord& record, std::int32_t flag) {
  Framework& framework = TheFramework();
  const std::lock_guard<std::mutex> lock(framework.mutex);
  Log(framework, {Call::kConstructLibraryRegistration, &record, storage, 0, flag});
  framework.registrations =
      new (storage) LibraryRegistration{&record, record.instance, framework.registrations, flag};
}

void TerminateExtensionModule(ExtensionModuleRecord& record, std::int32_t flag) {
  Framework& framework = TheFramework();
  const std::lock_guard<std::mutex> lock(framework.mutex);
  Log(framework, {Call::kTerminateExtensionModule, &record, nullptr, 0, flag});
  LibraryRegistration** link = &framework.registrations;
  while (*link != nullptr) {
    LibraryRegistration* const registration = *link;
    if (flag != 0 || registration->record == &record) {
      *link = registration->next;
      registration->~LibraryRegistration();
      Release(registration);
    } else {
      link = &registration->next;
    }
  }
  record.initialized = 0;
}

namespace testing {

void Reset() {
  Framework& framework = TheFramework();
  const std::lock_guard<std::mutex> lock(framework.mutex);
  while (framework.registrations != nullptr) {
    LibraryRegistration* const registration = framework.registrations;
    framework.registrations = registration->next;
    registration->~LibraryRegistration();
    Release(registration);
  }
  framework.state = ModuleState{};
  framework.calls.clear();
  framework.initializationAnswer = 1;
  framework.allocationGivesNothing = false;
}

void SetInitializationAnswer(std::int32_t answer) {
  Framework& framework = TheFramework();
  const std::lock_guard<std::mutex> lock(framework.mutex);
  framework.initializationAnswer = answer;
}

void SetAllocationGivesNothing(bool givesNothing) {
  Framework& framework = TheFramework();
  const std::lock_guard<std::mutex> lock(framework.mutex);
  framework.allocationGivesNothing = givesNothing;
}

std::size_t CallCount() {
  Framework& framework = TheFramework();
  const std::lock_guard<std::mutex> lock(framework.mutex);
  return framework.calls.size();
}

CallRecord CallAt(std::size_t index) {
  Framework& framework = TheFramework();
  const std::lock_guard<std::mutex> lock(framework.mutex);
  if (index >= framework.calls.size()) return CallRecord{Call{}, nullptr, nullptr, 0, 0};
  return framework.calls[index];
}

std::size_t RegistrationCount() {
  Framework& framework = TheFramework();
  const std::lock_guard<std::mutex> lock(framework.mutex);
  std::size_t count = 0;
  for (const LibraryRegistration* r = framework.registrations; r != nullptr; r = r->next) ++count;
  return count;
}

const ExtensionModuleRecord* RegistrationRecordAt(std::size_t index) {
  Framework& framework = TheFramework();
  const std::lock_guard<std::mutex> lock(framework.mutex);
  const LibraryRegistration* r = framework.registrations;
  for (; r != nullptr && index > 0; r = r->next) --index;
  return r == nullptr ? nullptr : r->record;
}

}  // namespace testing
}  // namespace korvel::framework
