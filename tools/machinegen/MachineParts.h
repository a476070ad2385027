#pragma once
// What the generated machines share beyond Windows' layout (layout/): numbered
// names, mode lists and the devices every PC has.
#include <string>
#include <vector>

#include "layout/DisplayLayout.h"
#include "machine/Machine.h"

namespace machinegen {

// snprintf into a string, for the numbered parts of names and identifiers.
std::string Format(const char* format, unsigned a, unsigned b = 0, unsigned c = 0);

// A PCI function's identity from the hexadecimal digits Windows shows:
// vendor "10DE", device "2504", subsystem "397D1462" (device, then vendor),
// revision "A1", class code "030000".
layout::PciIdentity Pci(const char* vendor, const std::string& device, const char* subsystem,
                        const char* revision, const char* classCode);

// The DeviceDesc a display driver package writes for an adapter:
// "@<inf>,%dev_<device>%;<name>".
std::string DriverPackageDescription(const std::string& inf, const std::string& device,
                                     const std::string& name);

machine::DisplayMode Mode(unsigned bits, unsigned width, unsigned height, unsigned frequency);

struct ModeSize {
    unsigned width, height;
    std::vector<unsigned> rates;
};

// Every depth, then every size, then every rate.
std::vector<machine::DisplayMode> ModeList(const std::vector<ModeSize>& sizes,
                                           const std::vector<unsigned>& depths);

// The PCI root bridge and the basic render driver, which every machine has.
void AddRootDevices(machine::Machine& machine);

machine::TimeZone CentralEuropeanWinter();

}  // namespace machinegen
