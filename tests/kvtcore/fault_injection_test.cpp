#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/HostFixture.h"

using NORNKVT20::ICIMInstance;
using NORNKVT20::PropertyMap;
using NORNKVT20::TCIMSchemaHelper;
using NORNKVT20::TCIMValue;
using NORNKVT20::TKVTException;

namespace {

// The texts of the faults that the calls raised, "" for a call that passed.
std::vector<std::string> Outcomes(int calls, const std::function<void()>& call)
{
    std::vector<std::string> outcomes;
    for (int i = 0; i < calls; ++i) {
        try {
            call();
            outcomes.push_back("");
        } catch (const TKVTException& e) {
            outcomes.push_back(e.GetMessageText());
        }
    }
    return outcomes;
}

}  // namespace

using FaultInjectionTest = HostFixture;

TEST_F(FaultInjectionTest, EveryOperationFailsOnItsArmedCallOnly)
{
    auto cls = Class("ORNSG_VideoHead");
    auto ns = cls->GetNamespace(PropertyMap());
    auto instance = cls->CreateInstance(PropertyMap());
    const std::vector<std::pair<const char*, std::function<void()> > > operations = {
        {"CreateInstance", [&] { cls->CreateInstance(PropertyMap()); }},
        {"SetPropertyValue",
         [&] { instance->SetPropertyValue("Name", TCIMValue("x"), PropertyMap()); }},
        {"Commit", [&] { instance->Commit(PropertyMap()); }},
        {"GetClass", [&] { ns->GetClass("ORNSG_VideoHead", PropertyMap()); }},
        {"GetName", [&] { cls->GetName(PropertyMap()); }},
        {"GetNamespace", [&] { cls->GetNamespace(PropertyMap()); }},
        {"EnumerateInstances",
         [&] { cls->EnumerateInstances([](boost::shared_ptr<ICIMInstance>) { return true; }, 0,
                                       PropertyMap()); }},
        {"GetProperty", [&] { instance->GetProperty("Name", PropertyMap()); }},
        {"GetValue",
         [&] { instance->GetProperty("Name", PropertyMap())->GetValue(PropertyMap()); }},
        {"GetReference", [&] { instance->GetReference(PropertyMap()); }},
        {"GetSystemName", [&] { TCIMSchemaHelper::GetSystemName(ns); }},
        {"GetSystemCreationClassName", [&] { TCIMSchemaHelper::GetSystemCreationClassName(ns); }},
    };
    for (const auto& operation : operations) {
        operation.second();  // calls made before arming do not count
        Host().InjectFault(operation.first, 2, operation.first);
        EXPECT_EQ(Outcomes(3, operation.second),
                  (std::vector<std::string>{"", operation.first, ""}));
    }
    Host().InjectFault("CreateInstance", 3, "third");
    Host().InjectFault("CreateInstance", 1, "first");
    Host().InjectFault("GetClass", 1, "other operation");
    EXPECT_EQ(Outcomes(4, [&] { cls->CreateInstance(PropertyMap()); }),
              (std::vector<std::string>{"first", "", "third", ""}));
}

TEST_F(FaultInjectionTest, ResetDisarmsFailedCommitRecordsNothingAndTyposAreRejected)
{
    Host().InjectFault("CreateInstance", 1, "armed");
    Host().Reset();
    auto instance = Class("ORNSG_VideoHead")->CreateInstance(PropertyMap());
    Host().InjectFault("Commit", 1, "full");
    EXPECT_THROW(instance->Commit(PropertyMap()), TKVTException);
    EXPECT_TRUE(Committed().empty());
    EXPECT_THROW(Host().InjectFault("CreateInstances", 1, "typo"), TKVTException);
    EXPECT_THROW(Host().InjectFault("Commit", 0, "never"), TKVTException);
}

TEST_F(FaultInjectionTest, AnyOperationCountsEveryHostCallAsTheTraceRecordsThem)
{
    auto cls = Class("ORNSG_VideoHead");
    Host().InjectFault("AnyOperation", 3, "third call");
    Host().StartCallTrace();
    auto instance = cls->CreateInstance(PropertyMap());
    NORNKVT20::TRootObject::GetCoreLogger()->Log(2, "between", PropertyMap());
    instance->SetPropertyValue("Name", TCIMValue("x"), PropertyMap());
    EXPECT_THROW(instance->GetProperty("Name", PropertyMap()), TKVTException);
    instance->Commit(PropertyMap());
    const std::vector<NORNKVT20::THostEvent> trace = Host().StopCallTrace();

    std::vector<std::string> steps;
    for (const auto& event : trace) {
        steps.push_back(event.operation.empty()
                            ? std::to_string(event.level) + " " + event.text
                            : event.operation + " " + event.text);
    }
    EXPECT_EQ(steps, (std::vector<std::string>{
                         "CreateInstance ORNSG_VideoHead", "2 between",
                         "SetPropertyValue ORNSG_VideoHead.Name", "GetProperty ORNSG_VideoHead.Name",
                         "Commit ORNSG_VideoHead"}));
    cls->CreateInstance(PropertyMap());
    EXPECT_TRUE(Host().StopCallTrace().empty());

    // Only the store's result outlives the handles given out.
    const long classesBefore = Host().GetLiveObjects().classes;
    cls.reset();
    instance.reset();
    EXPECT_EQ(Host().GetLiveObjects().classes, classesBefore - 1);
    EXPECT_EQ(Host().GetLiveObjects().instances, 1);
    EXPECT_EQ(Host().GetLiveObjects().properties, 0);
}
