#include <cstdint>
#include <string>
#include <vector>

#include "support/HostFixture.h"

using NORNKVT20::ICIMInstance;
using NORNKVT20::PropertyMap;
using NORNKVT20::TCIMValue;
using NORNKVT20::TKVTException;

namespace {

class CIMStoreTest : public HostFixture {
protected:
    boost::shared_ptr<ICIMInstance> Make(const std::string& className,
                                         const PropertyMap& values = PropertyMap())
    {
        auto instance = Class(className)->CreateInstance(PropertyMap());
        for (const auto& entry : values) {
            instance->SetPropertyValue(entry.first, entry.second, PropertyMap());
        }
        return instance;
    }
    void Commit(const std::string& className, const PropertyMap& values)
    {
        Make(className, values)->Commit(PropertyMap());
    }
};

TCIMValue Strings(std::vector<TCIMValue> elements)
{
    return TCIMValue(TCIMValue::TCIMType(NORNKVT20::cimString), 0, elements);
}

}  // namespace

TEST_F(CIMStoreTest, SetPropertyValueChecksDeclarationAndExactType)
{
    struct Case {
        const char* className;
        const char* property;
        TCIMValue value;
        bool accepted;
    };
    const Case cases[] = {
        {"ORNSG_VideoHead", "HeadNumber", TCIMValue(std::uint8_t(1)), true},
        {"ORNSG_VideoHead", "HeadNumber", TCIMValue(std::uint32_t(1)), false},
        {"ORNSG_VideoController", "OtherIdentifyingInfo", Strings({"x"}), true},
        {"ORNSG_VideoController", "OtherIdentifyingInfo", TCIMValue("x"), false},
        {"ORNSG_VideoController", "Name", Strings({"x"}), false},
        {"ORNSG_VideoController", "Bogus", TCIMValue("x"), false},
        {"ORNSG_MonitorSetting", "Element", TCIMValue(NORNKVT20::TCIMReference("A")), true},
        {"ORNSG_MonitorSetting", "Element", TCIMValue("A"), false},
        {"ORNSG_NoSuchClass", "Name", TCIMValue("x"), false},
    };
    for (const Case& c : cases) {
        auto instance = Make(c.className);
        if (c.accepted) {
            EXPECT_NO_THROW(instance->SetPropertyValue(c.property, c.value, PropertyMap()))
                << c.className << "." << c.property;
        } else {
            EXPECT_THROW(instance->SetPropertyValue(c.property, c.value, PropertyMap()),
                         TKVTException)
                << c.className << "." << c.property;
        }
    }
}

TEST_F(CIMStoreTest, NullPropertiesAreLeftOutOfSnapshotsButEmptyArraysAreNot)
{
    auto instance = Make("ORNSG_VideoController", {{"Name", TCIMValue("n")},
                                                   {"OtherIdentifyingInfo", Strings({})}});
    instance->SetPropertyValue("Name", TCIMValue(), PropertyMap());
    EXPECT_TRUE(instance->GetProperty("DeviceID", PropertyMap())->GetValue(PropertyMap()).IsNull());
    instance->Commit(PropertyMap());
    instance->SetPropertyValue("Description", TCIMValue("after commit"), PropertyMap());
    ASSERT_EQ(Committed().size(), 1u);
    const auto properties = Committed()[0].properties;
    ASSERT_EQ(properties.size(), 1u);
    EXPECT_EQ(properties[0].name, "OtherIdentifyingInfo");
    EXPECT_EQ(properties[0].typeName, "string[]");
    EXPECT_FALSE(properties[0].isNull);
}

TEST_F(CIMStoreTest, PropertyKeepsTheValueReadWhateverHappensToItsInstance)
{
    auto instance = Make("ORNSG_VideoHead", {{"DeviceID", TCIMValue("before")}});
    auto beforeChange = instance->GetProperty("DeviceID", PropertyMap());
    instance->SetPropertyValue("DeviceID", TCIMValue("after"), PropertyMap());
    EXPECT_EQ(std::string(beforeChange->GetValue(PropertyMap())), "before");

    instance->Commit(PropertyMap());
    NORNKVT20::TAddToVectorCallback<ICIMInstance> results;
    Class("ORNSG_VideoHead")->EnumerateInstances(boost::ref(results), 0, PropertyMap());
    ASSERT_EQ(results.GetVector().size(), 1u);
    auto fromResult = results.GetVector()[0]->GetProperty("DeviceID", PropertyMap());
    results.GetVector().clear();
    StartRequest();  // the old request, and with it its results, are let go
    EXPECT_EQ(std::string(fromResult->GetValue(PropertyMap())), "after");
    EXPECT_EQ(fromResult->GetName(PropertyMap()), "DeviceID");
}

TEST_F(CIMStoreTest, ObjectPathHoldsKeysInNameOrderEscapedAndDistinct)
{
    const PropertyMap head = {{"SystemName", TCIMValue("PC")},
                              {"DeviceID", TCIMValue("VIDEOHEAD\\\\.\\DISPLAY1")},
                              {"CreationClassName", TCIMValue("ORNSG_VideoHead")},
                              {"Name", TCIMValue("not a key")}};
    const PropertyMap bios = {{"Version", TCIMValue("say \"hi\"")},
                              {"SoftwareElementState", TCIMValue(std::uint16_t(3))}};
    Commit("ORNSG_VideoHead", head);
    Commit("ORNSG_VideoBios", bios);
    Commit("ORNSG_VideoBios", bios);
    Commit("ORNSG_VideoHead", head);
    Commit("ORNSG_NoSuchClass", {});

    const std::string headPath =
        "ORNSG_VideoHead.CreationClassName=\"ORNSG_VideoHead\","
        "DeviceID=\"VIDEOHEAD\\\\\\\\.\\\\DISPLAY1\",SystemName=\"PC\"";
    const std::string biosPath =
        "ORNSG_VideoBios.SoftwareElementState=3,Version=\"say \\\"hi\\\"\"";
    std::vector<std::string> paths;
    for (const auto& instance : Committed()) {
        paths.push_back(instance.objectPath);
    }
    EXPECT_EQ(paths, (std::vector<std::string>{headPath, biosPath, biosPath + "#2",
                                               headPath + "#2", "ORNSG_NoSuchClass"}));
}

// A request's results are what was committed through its own handles, down
// to the namespace and classes a plug-in reaches from the class it was given;
// another request, before or beside it, neither sees nor changes them. The
// plug-in manager's classes serve no request.
TEST_F(CIMStoreTest, EachRequestSeesOnlyWhatWasCommittedThroughItsOwnHandles)
{
    const PropertyMap head = {{"DeviceID", TCIMValue("VIDEOHEAD1")}};
    Commit("ORNSG_VideoHead", head);
    const auto other = Host().CreateRequest();
    const auto reached = other->GetCIMNamespace()
                             ->GetClass("ORNSG_VideoBios", PropertyMap())
                             ->GetNamespace(PropertyMap())
                             ->GetClass("ORNSG_VideoHead", PropertyMap());
    for (int i = 0; i < 2; ++i) {
        auto instance = reached->CreateInstance(PropertyMap());
        instance->SetPropertyValue("DeviceID", TCIMValue("VIDEOHEAD1"), PropertyMap());
        instance->Commit(PropertyMap());
    }

    const auto enumerated = [](const boost::shared_ptr<NORNKVT20::ICIMClass>& cls) {
        NORNKVT20::TAddToVectorCallback<ICIMInstance> results;
        cls->EnumerateInstances(boost::ref(results), 0, PropertyMap());
        std::vector<std::string> paths;
        for (const auto& instance : results.GetVector()) {
            paths.push_back(instance->GetReference(PropertyMap()).GetObjectPath());
        }
        return paths;
    };
    const std::string path = "ORNSG_VideoHead.DeviceID=\"VIDEOHEAD1\"";
    EXPECT_EQ(enumerated(Class("ORNSG_VideoHead")), std::vector<std::string>{path});
    EXPECT_EQ(enumerated(reached), (std::vector<std::string>{path, path + "#2"}));
    EXPECT_EQ(Committed().size(), 1u);
    EXPECT_EQ(other->GetCommittedInstances().size(), 2u);

    const auto outside = NORNKVT20::TRootObject::GetPluginManager()->GetClass("ORNSG_VideoHead",
                                                                             PropertyMap());
    EXPECT_THROW(outside->CreateInstance(PropertyMap())->Commit(PropertyMap()), TKVTException);
    EXPECT_TRUE(enumerated(outside).empty());
}
