// Run: ctest --preset release -R ModuleShell
// The shell called directly, as a loader would, against the framework stand-in's test seam.
#include "module/module_shell.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "module/framework_calls.hpp"

namespace korvel::module {
namespace {

using framework::ModuleState;
using framework::testing::AllocateCall;
using framework::testing::CallCount;
using framework::testing::CallRecord;
using framework::testing::CallsFrom;
using framework::testing::ConstructCall;
using framework::testing::CurrentModuleStateCall;
using framework::testing::InitializeCall;
using framework::testing::Registrations;
using framework::testing::TerminateCall;

int hostClass = 0;    // stand-ins for the host's registered run-time class ...
int hostFactory = 0;  // ... and object factory
char moduleBase = 0;  // whose address plays the instance handle

void* const kInstance = &moduleBase;
void* const kReserved = &hostClass;

class ModuleShell : public ::testing::Test {
 protected:
  void SetUp() override {
    state_ = framework::CurrentModuleState();
    framework::testing::Reset();  // forgets the call above; the state record stays where it is
    extensionModuleRecord = {};
  }
  void TearDown() override { framework::testing::Reset(); }

  ModuleState& State() { return *state_; }

 private:
  ModuleState* state_ = nullptr;
};

TEST_F(ModuleShell, ProcessAttachRegistersTheLibrary) {
  EXPECT_EQ(ModuleEntry(kInstance, kProcessAttach, kReserved), 1);

  const std::vector<CallRecord> calls = CallsFrom();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0], CurrentModuleStateCall());
  EXPECT_EQ(calls[1], InitializeCall(&extensionModuleRecord, kInstance));
  EXPECT_EQ(calls[2], AllocateCall(64));
  EXPECT_NE(calls[3].pointer, nullptr);
  EXPECT_EQ(calls[3], ConstructCall(&extensionModuleRecord, calls[3].pointer));
  EXPECT_EQ(Registrations(),
            std::vector<const framework::ExtensionModuleRecord*>{&extensionModuleRecord});
}

TEST_F(ModuleShell, ProcessAttachLeavesTheHostsListsToTheHost) {
  State() = {{&hostClass, nullptr}, {&hostFactory, nullptr}};
  const std::size_t before = CallCount();

  ASSERT_EQ(ModuleEntry(kInstance, kProcessAttach, kReserved), 1);

  // The hook parked the host's lists; initialisation took the library's (empty) ones and gave
  // the host its own back.
  EXPECT_EQ(State(), (ModuleState{{&hostClass, nullptr}, {&hostFactory, nullptr}}));
  EXPECT_EQ(extensionModuleRecord.runtimeClasses, nullptr);
  EXPECT_EQ(extensionModuleRecord.objectFactories, nullptr);
  EXPECT_EQ(CallsFrom(before).front(), CurrentModuleStateCall());
}

TEST_F(ModuleShell, RefusedInitialisationFailsTheLoadBeforeAnyAllocation) {
  framework::testing::SetInitializationAnswer(0);

  EXPECT_EQ(ModuleEntry(kInstance, kProcessAttach, kReserved), 0);

  EXPECT_EQ(CallsFrom(), (std::vector<CallRecord>{
                             CurrentModuleStateCall(),
                             InitializeCall(&extensionModuleRecord, kInstance),
                         }));
  EXPECT_TRUE(Registrations().empty());
}

TEST_F(ModuleShell, AnyNonzeroInitialisationAnswerIsSuccess) {
  framework::testing::SetInitializationAnswer(-7);

  EXPECT_EQ(ModuleEntry(kInstance, kProcessAttach, kReserved), 1);
  EXPECT_EQ(Registrations().size(), 1u);
}

TEST_F(ModuleShell, AllocationThatGivesNothingStillLoads) {
  framework::testing::SetAllocationGivesNothing(true);

  EXPECT_EQ(ModuleEntry(kInstance, kProcessAttach, kReserved), 1);

  EXPECT_EQ(CallsFrom(), (std::vector<CallRecord>{
                             CurrentModuleStateCall(),
                             InitializeCall(&extensionModuleRecord, kInstance),
                             AllocateCall(64),
                         }));
  EXPECT_TRUE(Registrations().empty());
}

TEST_F(ModuleShell, ProcessDetachWithdrawsAndAnswers1) {
  ASSERT_EQ(ModuleEntry(kInstance, kProcessAttach, kReserved), 1);
  State() = {{&hostClass, nullptr}, {&hostFactory, nullptr}};
  const std::size_t before = CallCount();

  EXPECT_EQ(ModuleEntry(kInstance, kProcessDetach, kReserved), 1);

  // Only the termination: the hook does nothing at unload, so the host's lists stay put.
  EXPECT_EQ(CallsFrom(before), std::vector<CallRecord>{TerminateCall(&extensionModuleRecord)});
  EXPECT_TRUE(Registrations().empty());
  EXPECT_EQ(State(), (ModuleState{{&hostClass, nullptr}, {&hostFactory, nullptr}}));
}

TEST_F(ModuleShell, ProcessDetachAfterAFailedAttachAnswers1) {
  framework::testing::SetInitializationAnswer(0);
  ASSERT_EQ(ModuleEntry(kInstance, kProcessAttach, kReserved), 0);
  const std::size_t before = CallCount();

  EXPECT_EQ(ModuleEntry(kInstance, kProcessDetach, kReserved), 1);
  EXPECT_EQ(CallsFrom(before), std::vector<CallRecord>{TerminateCall(&extensionModuleRecord)});
}

TEST_F(ModuleShell, ThreadNotificationsAnswer1AndChangeNothing) {
  // 4 is no reason this library knows; it is treated as a thread notification.
  for (const std::uint32_t reason : {kThreadAttach, kThreadDetach, std::uint32_t{4}}) {
    SCOPED_TRACE(testing::Message() << "reason " << reason);
    framework::testing::Reset();
    extensionModuleRecord = {};
    ASSERT_EQ(ModuleEntry(kInstance, kProcessAttach, kReserved), 1);
    State() = {{&hostClass, &hostFactory}, {&hostFactory, &hostClass}};
    const ModuleState state = State();
    const framework::ExtensionModuleRecord record = extensionModuleRecord;
    const std::size_t before = CallCount();

    EXPECT_EQ(ModuleEntry(kInstance, reason, kReserved), 1);
    EXPECT_EQ(ExtensionModuleMain(kInstance, reason, kReserved), 1);

    EXPECT_EQ(CallsFrom(before), std::vector<CallRecord>{}) << "no framework call";
    EXPECT_EQ(State(), state);
    EXPECT_EQ(extensionModuleRecord.initialized, record.initialized);
    EXPECT_EQ(extensionModuleRecord.instance, record.instance);
    EXPECT_EQ(Registrations().size(), 1u);
  }
}

TEST_F(ModuleShell, HookParksEachListInItsSavedHeadSlotAtLoad) {
  State() = {{&hostClass, &hostFactory}, {&hostFactory, &hostClass}};
  const std::size_t before = CallCount();

  EXPECT_EQ(RawEntryHook(kInstance, kProcessAttach, kReserved), 1);

  EXPECT_EQ(State(), (ModuleState{{nullptr, &hostClass}, {nullptr, &hostFactory}}));
  EXPECT_EQ(CallsFrom(before), std::vector<CallRecord>{CurrentModuleStateCall()});
}

TEST_F(ModuleShell, HookDoesNothingForOtherReasons) {
  for (const std::uint32_t reason : {kProcessDetach, kThreadAttach, kThreadDetach}) {
    SCOPED_TRACE(testing::Message() << "reason " << reason);
    State() = {{&hostClass, &hostFactory}, {&hostFactory, &hostClass}};
    const std::size_t before = CallCount();

    EXPECT_EQ(RawEntryHook(kInstance, reason, kReserved), 1);

    EXPECT_EQ(State(), (ModuleState{{&hostClass, &hostFactory}, {&hostFactory, &hostClass}}));
    EXPECT_EQ(CallsFrom(before), std::vector<CallRecord>{});
  }
}

}  // namespace
}  // namespace korvel::module
