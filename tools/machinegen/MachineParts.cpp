#include "tools/machinegen/MachineParts.h"

#include <cstdio>
#include <cstdlib>

namespace machinegen {

std::string Format(const char* format, unsigned a, unsigned b, unsigned c)
{
    char text[256];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

layout::PciIdentity Pci(const char* vendor, const std::string& device, const char* subsystem,
                        const char* revision, const char* classCode)
{
    auto hex = [](const std::string& digits) {
        return static_cast<unsigned>(std::strtoul(digits.c_str(), nullptr, 16));
    };
    const std::string sub = subsystem;
    layout::PciIdentity id;
    id.vendor = static_cast<std::uint16_t>(hex(vendor));
    id.device = static_cast<std::uint16_t>(hex(device));
    id.subsystemDevice = static_cast<std::uint16_t>(hex(sub.substr(0, 4)));
    id.subsystemVendor = static_cast<std::uint16_t>(hex(sub.substr(4, 4)));
    id.revision = static_cast<std::uint8_t>(hex(revision));
    id.classCode = hex(classCode);
    return id;
}

std::string DriverPackageDescription(const std::string& inf, const std::string& device,
                                     const std::string& name)
{
    return "@" + inf + ",%dev_" + device + "%;" + name;
}

machine::DisplayMode Mode(unsigned bits, unsigned width, unsigned height, unsigned frequency)
{
    return machine::DisplayMode{bits, width, height, frequency, 0};
}

std::vector<machine::DisplayMode> ModeList(const std::vector<ModeSize>& sizes,
                                           const std::vector<unsigned>& depths)
{
    std::vector<machine::DisplayMode> modes;
    for (unsigned bits : depths) {
        for (const ModeSize& size : sizes) {
            for (unsigned rate : size.rates) {
                modes.push_back(Mode(bits, size.width, size.height, rate));
            }
        }
    }
    return modes;
}

void AddRootDevices(machine::Machine& machine)
{
    machine.devices.push_back(layout::DeviceNode("ACPI\\PNP0A08\\0", {"ACPI\\PNP0A08", "*PNP0A08"},
                                                 {"ACPI\\PNP0A03", "*PNP0A03"}));
    machine.devices.push_back(
        layout::DeviceNode("ROOT\\BasicRender\\0000", {"ROOT\\BasicRender"}, {}));
}

machine::TimeZone CentralEuropeanWinter()
{
    return machine::TimeZone{1, -60, 0, -60};
}

}  // namespace machinegen
