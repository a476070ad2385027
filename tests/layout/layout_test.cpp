// Windows' layout of display hardware: the identifiers a PCI function and a
// monitor get, and how adapters, outputs and monitors are added to a machine.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "layout/DisplayLayout.h"

namespace {

TEST(Layout, PciIdentitiesAreFormattedAsWindowsDoes)
{
    const layout::PciIdentity full{0x10de, 0x2504, 0x1462, 0x397d, 0xa1, 0x030000};
    const layout::PciIdentity noClass{0x102b, 0x0534, 0x103c, 0x0754, 0x01, std::nullopt};
    const struct {
        layout::PciIdentity id;
        machine::IdList hardware;
        machine::IdList compatible;
    } cases[] = {
        {full,
         {"PCI\\VEN_10DE&DEV_2504&SUBSYS_397D1462&REV_A1", "PCI\\VEN_10DE&DEV_2504&SUBSYS_397D1462",
          "PCI\\VEN_10DE&DEV_2504&CC_030000", "PCI\\VEN_10DE&DEV_2504&CC_0300"},
         {"PCI\\VEN_10DE&DEV_2504&REV_A1", "PCI\\VEN_10DE&DEV_2504", "PCI\\VEN_10DE&CC_030000",
          "PCI\\VEN_10DE&CC_0300", "PCI\\VEN_10DE", "PCI\\CC_030000", "PCI\\CC_0300"}},
        {noClass,
         {"PCI\\VEN_102B&DEV_0534&SUBSYS_0754103C&REV_01", "PCI\\VEN_102B&DEV_0534&SUBSYS_0754103C"},
         {"PCI\\VEN_102B&DEV_0534&REV_01", "PCI\\VEN_102B&DEV_0534", "PCI\\VEN_102B"}},
    };
    for (const auto& c : cases) {
        const layout::IdLists ids = layout::PciIds(c.id);
        EXPECT_EQ(ids.hardware, c.hardware);
        EXPECT_EQ(ids.compatible, c.compatible);
        EXPECT_EQ(layout::PciHardwareId(c.id), c.hardware[0]);
    }
}

layout::Bytes Edid(std::uint8_t m0, std::uint8_t m1, unsigned product, std::size_t size = 128)
{
    layout::Bytes edid(size, 0);
    const std::uint8_t header[8] = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0};
    for (std::size_t i = 0; i < 8 && i < size; ++i) edid[i] = header[i];
    if (size > 11) {
        edid[8] = m0;
        edid[9] = m1;
        edid[10] = static_cast<std::uint8_t>(product & 0xFF);
        edid[11] = static_cast<std::uint8_t>(product >> 8);
    }
    return edid;
}

TEST(Layout, MonitorModelComesFromTheEdidManufacturerAndProduct)
{
    const struct {
        layout::Bytes edid;
        const char* model;  // "" when refused
        const char* why;
    } cases[] = {
        {Edid(0x10, 0xAC, 0x40F2), "DEL40F2", ""},
        {Edid(0x1E, 0x6D, 0x5B7F), "GSM5B7F", ""},
        {Edid(0x4C, 0x2D, 0x02A5, 256), "SAM02A5", ""},
        {Edid(0x00, 0x00, 0x0001), "@@@0001", ""},
        {Edid(0x10, 0xAC, 0x40F2, 127), "", "fewer than the 128"},
        {layout::Bytes(128, 1), "", "header"},
    };
    for (const auto& c : cases) {
        std::string why;
        const auto model = layout::MonitorModelFromEdid(c.edid, why);
        EXPECT_EQ(model.value_or(""), c.model);
        EXPECT_NE(why.find(c.why), std::string::npos) << why;
    }
}

layout::AdapterSpec Adapter(const std::string& instance, unsigned outputs)
{
    layout::AdapterSpec adapter;
    adapter.instanceId = instance;
    adapter.ids.hardware = {"PCI\\VEN_1234&DEV_0001"};
    adapter.guid = "{GUID}";
    adapter.driver.description = "Card";
    for (unsigned k = 0; k < outputs; ++k) {
        layout::OutputSpec output;
        output.index = k;
        adapter.outputs.push_back(output);
    }
    return adapter;
}

// Outputs are numbered over the machine; two adapters of one device share
// its node; a monitor's flags say whether it shows the desktop; a monitor's
// instance ID is never given twice.
TEST(Layout, AdaptersAddTheirNodesOutputsAndMonitors)
{
    machine::Machine machine;
    layout::AdapterSpec first = Adapter("PCI\\A\\1", 2);
    layout::MonitorSpec monitor;
    monitor.monitor = layout::Monitor{"DEL40F2", "5&1&0&UID0", 0, std::nullopt};
    monitor.active = false;
    first.outputs[1].monitors.push_back(monitor);
    layout::AddAdapter(machine, first);
    layout::AddAdapter(machine, Adapter("PCI\\A\\1", 1));

    ASSERT_EQ(machine.outputs.size(), 3u);
    EXPECT_EQ(machine.outputs[2].name, "\\\\.\\DISPLAY3");
    EXPECT_EQ(machine.outputs[1].key,
              "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Video\\{GUID}\\0001");
    ASSERT_EQ(machine.outputs[1].monitors.size(), 1u);
    EXPECT_EQ(machine.outputs[1].monitors[0].flags, layout::kMonitorAttached);
    EXPECT_EQ(machine.outputs[1].monitors[0].name, "\\\\.\\DISPLAY2\\Monitor0");
    ASSERT_EQ(machine.devices.size(), 2u);
    EXPECT_EQ(machine.devices[1].instance, "DISPLAY\\DEL40F2\\5&1&0&UID0");
    const machine::RegistryKey* parameters = machine.registry.Find(
        "SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\DEL40F2\\5&1&0&UID0\\Device Parameters");
    ASSERT_NE(parameters, nullptr);
    EXPECT_EQ(parameters->Find("EDID"), nullptr) << "a monitor without EDID has no EDID value";

    layout::AdapterSpec again = Adapter("PCI\\B\\1", 1);
    again.outputs[0].monitors.push_back(monitor);
    EXPECT_THROW(layout::AddAdapter(machine, again), std::invalid_argument);
}

}  // namespace
