#include <algorithm>
#include <cstdio>

#include "monitor/EdidLayout.h"
#include "monitor/EdidParser.h"
#include "monitor/MonitorInfo.h"

using NORNKVT20::TCIMDateTime;
using NORNKVT20::TCIMValue;
using namespace EdidLayout;

namespace {

// Week bytes 1 to 54 name a week of the year; 0 means none, 255 marks a model year.
const BYTE kFirstWeek = 1;
const BYTE kLastWeek = 54;
// Year bytes below this (before 1994) are not taken as dates.
const BYTE kFirstYearByte = 4;
const WORD kYearBase = 1990;

// Below every answer of DescriptorTag, so a scan for it visits all four descriptors.
const int kScanAllDescriptors = -3;

}  // namespace

edid::EdidInfo TMonitorInfo::ParseBlock(const BYTE* block, DWORD edidSize)
{
    // The whole base block is always there; of the rest, only what was read
    // and fits the buffer.
    const std::size_t bytesRead =
        std::max(kBlockSize, std::min<std::size_t>(edidSize, kBufferSize));
    edid::EdidInfo info = edid::ParseEdid(block, bytesRead);
    if (!info.valid) {
        m_logger->logWarning("EDID structure for monitor is not valid or not supported");
    }
    return info;
}

int TMonitorInfo::DecodeEDID(const BYTE* block, DWORD edidSize)
{
    const edid::EdidInfo info = ParseBlock(block, edidSize);
    if (!info.valid) {
        return 1;
    }

    if (!info.manufacturer.empty()) {
        addProperty(m_properties, "MonitorManufacturer", TCIMValue(info.manufacturer));
    }

    // Revision 3 of version 1 reads 1.3; rounded to single precision once.
    const double version =
        static_cast<float>(info.revision) / 10.0 + static_cast<float>(info.version);
    addProperty(m_properties, "EDIDVersion", TCIMValue(static_cast<float>(version)));

    if (info.week >= kFirstWeek && info.week <= kLastWeek && info.year >= kFirstYearByte) {
        const TCIMDateTime date =
            MakeManufacturingDate(info.week, static_cast<WORD>(info.year + kYearBase));
        if (!date.IsNull()) {
            addProperty(m_properties, "ManufacturingDate", TCIMValue(date));
        }
    }

    if (info.horizontalSize != 0) {
        addProperty(m_properties, "HorizontalImageSize", TCIMValue(info.horizontalSize));
    }
    if (info.verticalSize != 0) {
        addProperty(m_properties, "VerticalImageSize", TCIMValue(info.verticalSize));
    }

    // The gamma byte stores gamma × 100 − 100.
    if (info.gamma != 0) {
        const double gamma = (static_cast<float>(info.gamma) + 100.0) / 100.0;
        addProperty(m_properties, "Gamma", TCIMValue(static_cast<float>(gamma)));
    }

    addProperty(m_properties, "DPMSActiveOff", TCIMValue(info.dpmsActiveOff));
    addProperty(m_properties, "DPMSSuspend", TCIMValue(info.dpmsSuspend));
    addProperty(m_properties, "DPMSStandby", TCIMValue(info.dpmsStandby));

    // Each text comes from the first descriptor with its tag, so each search
    // visits the descriptors up to that one; the range limits are looked for
    // in all four.
    LogDescriptorScan(info, kTagMonitorName);
    if (!info.name.empty()) {
        addProperty(m_properties, "Name", TCIMValue(info.name));
    }
    LogDescriptorScan(info, kTagSerialNumber);
    if (!info.serialNumber.empty()) {
        addProperty(m_properties, "SerialNumber", TCIMValue(info.serialNumber));
    }
    LogDescriptorScan(info, kScanAllDescriptors);
    if (info.rangeLimits) {
        addProperty(m_properties, "MinHorizFreq", TCIMValue(info.rangeLimits->minHorizontalKHz));
        addProperty(m_properties, "MaxHorizFreq", TCIMValue(info.rangeLimits->maxHorizontalKHz));
        addProperty(m_properties, "MinVertFreq", TCIMValue(info.rangeLimits->minVerticalHz));
        addProperty(m_properties, "MaxVertFreq", TCIMValue(info.rangeLimits->maxVerticalHz));
    }
    if (info.bandwidthMHz) {
        addProperty(m_properties, "Bandwidth", TCIMValue(*info.bandwidthMHz));
    }

    if (info.digitalInterface) {
        addProperty(m_properties, "SupportedDigitalInterface", TCIMValue(*info.digitalInterface));
    }
    return 0;
}

void TMonitorInfo::LogDescriptorScan(const edid::EdidInfo& info, int stopTag)
{
    for (const edid::Descriptor& descriptor : info.descriptors) {
        if (DescriptorTag(descriptor) == stopTag) {
            return;
        }
    }
}

int TMonitorInfo::DescriptorTag(const edid::Descriptor& descriptor)
{
    if (descriptor.detailedTiming) {
        return kDetailedTiming;
    }
    char line[48];
    std::snprintf(line, sizeof(line), "Monitor Information EDID Tag: %x ",
                  static_cast<unsigned>(descriptor.tag));
    m_logger->logInfo(line);
    return descriptor.tagged ? descriptor.tag : kUntaggedDescriptor;
}
