#include <cstdint>
#include <string>
#include <vector>

#include <boost/ref.hpp>

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
    std::vector<std::string> Paths()
    {
        std::vector<std::string> paths;
        for (const auto& instance : Committed()) {
            paths.push_back(instance.objectPath);
        }
        return paths;
    }
};

TCIMValue Strings(std::vector<TCIMValue> elements)
{
    return TCIMValue(TCIMValue::TCIMType(NORNKVT20::cimString), 0, elements);
}

TCIMValue Uint16s(std::vector<TCIMValue> elements)
{
    return TCIMValue(TCIMValue::TCIMType(NORNKVT20::cimUint16), 0, elements);
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
        {"ORNSG_VideoController", "OperationalStatus", Uint16s({}), true},
        {"ORNSG_VideoController", "OperationalStatus", TCIMValue(std::uint16_t(2)), false},
        {"ORNSG_VideoController", "Name", Strings({"x"}), false},
        {"ORNSG_VideoController", "Bogus", TCIMValue("x"), false},
        {"ORNSG_VideoBios", "TargetOperatingSystem", TCIMValue(std::uint16_t(0)), true},
        {"ORNSG_DesktopMonitor", "EDIDVersion", TCIMValue(1.3f), true},
        {"ORNSG_DesktopMonitor", "ManufacturingDate", TCIMValue("20100101"), false},
        {"ORNSG_DesktopMonitor", "DPMSStandby", TCIMValue(true), true},
        {"ORNSG_MonitorResolution", "ScanMode", TCIMValue(std::uint32_t(4)), false},
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

TEST_F(CIMStoreTest, TypeErrorNamesClassPropertyAndBothTypes)
{
    try {
        Make("ORNSG_VideoHead")
            ->SetPropertyValue("HeadNumber", TCIMValue(std::uint32_t(1)), PropertyMap());
        FAIL() << "no exception";
    } catch (const TKVTException& e) {
        const std::string text = e.GetMessageText();
        for (const char* part : {"ORNSG_VideoHead", "HeadNumber", "uint8", "uint32"}) {
            EXPECT_NE(text.find(part), std::string::npos) << text;
        }
    }
}

TEST_F(CIMStoreTest, UnsetAndNullPropertiesAreNullAndLeftOutOfSnapshots)
{
    auto instance = Make("ORNSG_VideoHead", {{"Name", TCIMValue("n")}, {"DACType", TCIMValue()}});
    instance->SetPropertyValue("Name", TCIMValue(), PropertyMap());
    const TCIMValue unset =
        instance->GetProperty("VideoRamSize", PropertyMap())->GetValue(PropertyMap());
    EXPECT_TRUE(unset.IsNull());
    EXPECT_EQ(std::string(unset), "");
    EXPECT_THROW(instance->GetProperty("Bogus", PropertyMap()), TKVTException);

    instance->SetPropertyValue("DisplayId", TCIMValue("d"), PropertyMap());
    instance->Commit(PropertyMap());
    instance->SetPropertyValue("Description", TCIMValue("after commit"), PropertyMap());
    ASSERT_EQ(Committed().size(), 1u);
    ASSERT_EQ(Committed()[0].properties.size(), 1u);
    EXPECT_EQ(Committed()[0].properties[0].name, "DisplayId");
}

TEST_F(CIMStoreTest, SnapshotListsPropertiesInNameOrderWithElementTexts)
{
    Commit("ORNSG_VideoController",
           {{"OperationalStatus", Uint16s({std::uint16_t(2), std::uint16_t(6)})},
            {"Name", TCIMValue("GPU")},
            {"OtherIdentifyingInfo", Strings({})}});
    const auto snapshot = Committed().at(0);
    EXPECT_EQ(snapshot.className, "ORNSG_VideoController");
    ASSERT_EQ(snapshot.properties.size(), 3u);
    EXPECT_EQ(snapshot.properties[0].name, "Name");
    EXPECT_EQ(snapshot.properties[0].elements, std::vector<std::string>{"GPU"});
    EXPECT_EQ(snapshot.properties[1].name, "OperationalStatus");
    EXPECT_EQ(snapshot.properties[1].typeName, "uint16[]");
    EXPECT_EQ(snapshot.properties[1].elements, (std::vector<std::string>{"2", "6"}));
    EXPECT_EQ(snapshot.properties[2].typeName, "string[]");
    EXPECT_FALSE(snapshot.properties[2].isNull);
    EXPECT_TRUE(snapshot.properties[2].elements.empty());
}

TEST_F(CIMStoreTest, EnumerationDeliversOneClassInCommitOrderAndStopsOnFalse)
{
    for (const char* id : {"A", "B", "C"}) {
        Commit("ORNSG_VideoHead", {{"DeviceID", TCIMValue(id)}});
        Commit("ORNSG_VideoController", {{"DeviceID", TCIMValue(id)}});
    }
    std::vector<std::string> seen;
    auto collect = [&seen](boost::shared_ptr<ICIMInstance> instance) {
        seen.push_back(std::string(
            instance->GetProperty("DeviceID", PropertyMap())->GetValue(PropertyMap())));
        return seen.size() < 2;
    };
    Class("ORNSG_VideoHead")->EnumerateInstances(collect, 0, PropertyMap());
    EXPECT_EQ(seen, (std::vector<std::string>{"A", "B"}));

    NORNKVT20::TAddToVectorCallback<ICIMInstance> all;
    Class("ORNSG_VideoController")->EnumerateInstances(boost::ref(all), 0, PropertyMap());
    ASSERT_EQ(all.GetVector().size(), 3u);
    EXPECT_EQ(all.GetVector()[2]->GetReference(PropertyMap()).GetObjectPath(),
              Committed()[5].objectPath);
}

TEST_F(CIMStoreTest, ObjectPathHoldsKeysInNameOrderEscapedAndDistinct)
{
    const PropertyMap head = {{"SystemName", TCIMValue("PC")},
                              {"DeviceID", TCIMValue("VIDEOHEAD\\\\.\\DISPLAY1")},
                              {"CreationClassName", TCIMValue("ORNSG_VideoHead")},
                              {"Name", TCIMValue("not a key")}};
    const std::string headPath =
        "ORNSG_VideoHead.CreationClassName=\"ORNSG_VideoHead\","
        "DeviceID=\"VIDEOHEAD\\\\\\\\.\\\\DISPLAY1\",SystemName=\"PC\"";
    EXPECT_EQ(Make("ORNSG_VideoHead", head)->GetReference(PropertyMap()).GetObjectPath(), headPath);

    const PropertyMap bios = {{"Version", TCIMValue("say \"hi\"")},
                              {"SoftwareElementState", TCIMValue(std::uint16_t(3))}};
    const PropertyMap setting = {
        {"Element", TCIMValue(NORNKVT20::TCIMReference("M.DeviceID=\"X\""))},
        {"Setting", TCIMValue(NORNKVT20::TCIMReference("R.SettingID=\"Y\""))}};
    Commit("ORNSG_VideoHead", head);
    Commit("ORNSG_VideoBios", bios);
    Commit("ORNSG_VideoBios", bios);
    Commit("ORNSG_VideoHead", head);
    Commit("ORNSG_VideoBios", bios);
    Commit("ORNSG_MonitorSetting", setting);
    Commit("ORNSG_NoSuchClass", {});
    Commit("ORNSG_NoSuchClass", {});

    const std::string biosPath =
        "ORNSG_VideoBios.SoftwareElementState=3,Version=\"say \\\"hi\\\"\"";
    EXPECT_EQ(Paths(), (std::vector<std::string>{
                           headPath, biosPath, biosPath + "#2", headPath + "#2", biosPath + "#3",
                           "ORNSG_MonitorSetting.Element=\"M.DeviceID=\\\"X\\\"\","
                           "Setting=\"R.SettingID=\\\"Y\\\"\"",
                           "ORNSG_NoSuchClass", "ORNSG_NoSuchClass#2"}));
}

TEST_F(CIMStoreTest, UnknownClassIsServedWithItsNameAndResetForgetsResults)
{
    auto unknown = Class("ORNSG_NoSuchClass");
    EXPECT_EQ(unknown->GetName(PropertyMap()), "ORNSG_NoSuchClass");
    EXPECT_EQ(Class("")->GetName(PropertyMap()), "");
    unknown->CreateInstance(PropertyMap())->Commit(PropertyMap());
    EXPECT_EQ(Committed("ORNSG_NoSuchClass").size(), 1u);
    Host().Reset();
    EXPECT_TRUE(Committed().empty());
    Commit("ORNSG_NoSuchClass", {});
    EXPECT_EQ(Paths(), std::vector<std::string>{"ORNSG_NoSuchClass"});
}
