// Reading back the framework stand-in's call log in the module tests.
#pragma once

#include <cstddef>
#include <ostream>
#include <vector>

#include "platform/framework_testing.hpp"

namespace korvel::framework {

inline bool operator==(const ModuleState& a, const ModuleState& b) {
  return a.runtimeClasses.head == b.runtimeClasses.head &&
         a.runtimeClasses.savedHead == b.runtimeClasses.savedHead &&
         a.objectFactories.head == b.objectFactories.head &&
         a.objectFactories.savedHead == b.objectFactories.savedHead;
}

inline std::ostream& operator<<(std::ostream& out, const ModuleState& s) {
  return out << "{classes " << s.runtimeClasses.head << " saved " << s.runtimeClasses.savedHead
             << ", factories " << s.objectFactories.head << " saved " << s.objectFactories.savedHead
             << "}";
}

namespace testing {

inline bool operator==(const CallRecord& a, const CallRecord& b) {
  return a.call == b.call && a.record == b.record && a.pointer == b.pointer && a.bytes == b.bytes &&
         a.flag == b.flag;
}

inline std::ostream& operator<<(std::ostream& out, const CallRecord& c) {
  static const char* const kNames[] = {
      "none",     "CurrentModuleState",           "InitializeExtensionModule",
      "Allocate", "ConstructLibraryRegistration", "TerminateExtensionModule"};
  const auto index = static_cast<std::size_t>(c.call);
  out << (index < std::size(kNames) ? kNames[index] : "?") << "(record " << c.record << ", pointer "
      << c.pointer << ", bytes " << c.bytes << ", flag " << c.flag << ")";
  return out;
}

// The calls that arrived from index `from` on.
inline std::vector<CallRecord> CallsFrom(std::size_t from = 0) {
  std::vector<CallRecord> calls;
  for (std::size_t i = from; i < CallCount(); ++i) calls.push_back(CallAt(i));
  return calls;
}

inline std::vector<const ExtensionModuleRecord*> Registrations() {
  std::vector<const ExtensionModuleRecord*> records;
  for (std::size_t i = 0; i < RegistrationCount(); ++i) records.push_back(RegistrationRecordAt(i));
  return records;
}

inline CallRecord CurrentModuleStateCall() {
  return {Call::kCurrentModuleState, nullptr, nullptr, 0, 0};
}
inline CallRecord InitializeCall(const ExtensionModuleRecord* record, const void* instance) {
  return {Call::kInitializeExtensionModule, record, instance, 0, 0};
}
inline CallRecord AllocateCall(std::size_t bytes) {
  return {Call::kAllocate, nullptr, nullptr, bytes, 0};
}
inline CallRecord ConstructCall(const ExtensionModuleRecord* record, const void* storage) {
  return {Call::kConstructLibraryRegistration, record, storage, 0, 0};
}
inline CallRecord TerminateCall(const ExtensionModuleRecord* record) {
  return {Call::kTerminateExtensionModule, record, nullptr, 0, 0};
}

}  // namespace testing
}  // namespace korvel::framework
