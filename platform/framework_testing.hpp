// The framework stand-in's test seam: makes its calls fail on demand and reports which calls
// arrived, in which order and with which arguments. Plain values only, so that it can be used
// across a DLL boundary and from a host program that loads the library at run time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/framework.hpp"

namespace korvel::framework::testing {

enum class Call : std::int32_t {
  kCurrentModuleState = 1,
  kInitializeExtensionModule,
  kAllocate,
  kConstructLibraryRegistration,
  kTerminateExtensionModule,
};

// Arguments that a call does not take stay null or 0.
struct CallRecord {
  Call call;
  const ExtensionModuleRecord* record;
  const void* pointer;  // the instance handle, or the storage of a construction
  std::size_t bytes;    // the size asked of Allocate
  std::int32_t flag;
};

// Forgets the calls, the registrations (without releasing them: they may live in a module that
// is gone) and the forced failures, and empties the module state's lists.
KORVEL_FRAMEWORK_API void Reset();

// What InitializeExtensionModule answers (nonzero by default); 0 also makes it change nothing.
KORVEL_FRAMEWORK_API void SetInitializationAnswer(std::int32_t answer);
// Makes Allocate give null.
KORVEL_FRAMEWORK_API void SetAllocationGivesNothing(bool givesNothing);

KORVEL_FRAMEWORK_API std::size_t CallCount();
// The call at `index` in order of arrival; a record of call 0 past the end.
KORVEL_FRAMEWORK_API CallRecord CallAt(std::size_t index);

// The registered libraries, newest first: the record each was constructed from.
KORVEL_FRAMEWORK_API std::size_t RegistrationCount();
KORVEL_FRAMEWORK_API const ExtensionModuleRecord* RegistrationRecordAt(std::size_t index);

}  // namespace korvel::framework::testing
