#include <algorithm>
#include <cstdio>

#include "monitor/EdidLayout.h"
#include "monitor/MonitorInfo.h"

using NORNKVT20::TCIMDateTime;
using NORNKVT20::TCIMValue;
using namespace EdidLayout;

namespace {

const BYTE kEdidHeader[kHeaderSize] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
const BYTE kSupportedVersion = 1;

// Week bytes 1 to 54 name a week of the year; 0 means none, 255 marks a model year.
const BYTE kFirstWeek = 1;
const BYTE kLastWeek = 54;
// Year bytes below this (before 1994) are not taken as dates.
const BYTE kFirstYearByte = 4;
const WORD kYearBase = 1990;

// Feature support bits for the power-management states.
const BYTE kActiveOffBit = 0x20;
const BYTE kSuspendBit = 0x40;
const BYTE kStandbyBit = 0x80;

// Display descriptor text: up to 13 bytes from byte 5, ended by a line feed.
const std::size_t kTextOffset = 5;
const std::size_t kTextLength = 13;
const BYTE kLineFeed = 0x0A;

// Range limits: maximum pixel clock in units of 10 MHz, 0xFF when not given.
const BYTE kNoBandwidth = 0xFF;

}  // namespace

int TMonitorInfo::ValidateEDID(const BYTE* edid)
{
    if (std::equal(kEdidHeader, kEdidHeader + kHeaderSize, edid + kHeader) &&
        edid[kVersion] == kSupportedVersion) {
        return 0;
    }
    m_logger->logWarning("EDID structure for monitor is not valid or not supported");
    return 1;
}

int TMonitorInfo::DecodeEDID(const BYTE* edid, DWORD edidSize)
{
    if (ValidateEDID(edid) != 0) {
        return 1;
    }

    std::string manufacturer;
    DecodeManufacturer(edid + kManufacturerId, manufacturer);
    if (!manufacturer.empty()) {
        addProperty(m_properties, "MonitorManufacturer", TCIMValue(manufacturer));
    }

    // Revision 3 of version 1 reads 1.3; rounded to single precision once.
    const double version =
        static_cast<float>(edid[kRevision]) / 10.0 + static_cast<float>(edid[kVersion]);
    addProperty(m_properties, "EDIDVersion", TCIMValue(static_cast<float>(version)));

    const BYTE week = edid[kWeek];
    const BYTE yearByte = edid[kYear];
    if (week >= kFirstWeek && week <= kLastWeek && yearByte >= kFirstYearByte) {
        const TCIMDateTime date =
            MakeManufacturingDate(week, static_cast<WORD>(yearByte + kYearBase));
        if (!date.IsNull()) {
            addProperty(m_properties, "ManufacturingDate", TCIMValue(date));
        }
    }

    if (edid[kHorizontalSize] != 0) {
        addProperty(m_properties, "HorizontalImageSize", TCIMValue(edid[kHorizontalSize]));
    }
    if (edid[kVerticalSize] != 0) {
        addProperty(m_properties, "VerticalImageSize", TCIMValue(edid[kVerticalSize]));
    }

    // The gamma byte stores gamma × 100 − 100.
    if (edid[kGamma] != 0) {
        const double gamma = (static_cast<float>(edid[kGamma]) + 100.0) / 100.0;
        addProperty(m_properties, "Gamma", TCIMValue(static_cast<float>(gamma)));
    }

    const BYTE features = edid[kFeatures];
    addProperty(m_properties, "DPMSActiveOff", TCIMValue((features & kActiveOffBit) != 0));
    addProperty(m_properties, "DPMSSuspend", TCIMValue((features & kSuspendBit) != 0));
    addProperty(m_properties, "DPMSStandby", TCIMValue((features & kStandbyBit) != 0));

    AddDescriptorText(edid, kTagMonitorName, "Name");
    AddDescriptorText(edid, kTagSerialNumber, "SerialNumber");

    // Every range-limits descriptor is decoded; the first one's values stand.
    for (std::size_t offset : kDescriptors) {
        if (GetDescriptorTag(edid + offset) == kTagRangeLimits) {
            DecodeRangeLimits(edid + offset);
        }
    }

    AddDigitalInterface(edid, edidSize);
    return 0;
}

void TMonitorInfo::AddDescriptorText(const BYTE* edid, int tag, const std::string& propertyName)
{
    // Only the first descriptor with the tag counts, even when its text is empty.
    for (std::size_t offset : kDescriptors) {
        if (GetDescriptorTag(edid + offset) == tag) {
            std::string text;
            GetDescriptorText(edid + offset, text);
            if (!text.empty()) {
                addProperty(m_properties, propertyName, TCIMValue(text));
            }
            return;
        }
    }
}

void TMonitorInfo::AddDigitalInterface(const BYTE* edid, DWORD edidSize)
{
    if (edidSize <= kBlockSize || edid[kExtensionCount] == 0) {
        return;
    }
    // Byte 126 may announce more blocks than were read. The scan stops after
    // the last complete 128-byte block that was read (and never goes past the
    // buffer); a partly read block is not examined.
    const std::size_t bytesRead = std::min<std::size_t>(edidSize, kBufferSize);
    const std::size_t extensionsRead = bytesRead / kBlockSize - 1;
    const std::size_t extensions = std::min<std::size_t>(edid[kExtensionCount], extensionsRead);
    for (std::size_t n = 1; n <= extensions; ++n) {
        const BYTE* block = edid + n * kBlockSize;
        if (block[kExtensionTag] == kExtensionTagDigitalInterface) {
            addProperty(m_properties, "SupportedDigitalInterface",
                        TCIMValue(block[kExtensionDigitalInterface]));
            return;
        }
    }
}

int TMonitorInfo::GetDescriptorTag(const BYTE* descriptor)
{
    // Detailed timing descriptors start with a non-zero pixel clock.
    if (descriptor[0] != 0 || descriptor[1] != 0) {
        return kDetailedTiming;
    }
    char line[48];
    std::snprintf(line, sizeof(line), "Monitor Information EDID Tag: %x ",
                  static_cast<unsigned>(descriptor[3]));
    m_logger->logInfo(line);
    return descriptor[2] != 0 ? kUntaggedDescriptor : descriptor[3];
}

void TMonitorInfo::GetDescriptorText(const BYTE* descriptor, std::string& text)
{
    char buffer[kTextLength + 1];
    std::size_t length = 0;
    while (length < kTextLength && descriptor[kTextOffset + length] != kLineFeed) {
        buffer[length] = static_cast<char>(descriptor[kTextOffset + length]);
        ++length;
    }
    buffer[length] = '\0';
    // A zero byte among the copied ones ends the text as well.
    text = buffer;
}

void TMonitorInfo::DecodeManufacturer(const BYTE* id, std::string& text)
{
    const unsigned word = id[0] * 256u + id[1];
    if (word == 0) {
        return;
    }
    // Three 5-bit letters, 1 standing for 'A'; bit 15 is reserved. Codes
    // outside 1..26 are passed through as the characters they give.
    const char letters[] = {static_cast<char>(((word >> 10) & 0x1F) + 0x40),
                            static_cast<char>(((word >> 5) & 0x1F) + 0x40),
                            static_cast<char>((word & 0x1F) + 0x40)};
    text.assign(letters, sizeof(letters));
}

void TMonitorInfo::DecodeRangeLimits(const BYTE* descriptor)
{
    addProperty(m_properties, "MinHorizFreq", TCIMValue(descriptor[7]));
    addProperty(m_properties, "MaxHorizFreq", TCIMValue(descriptor[8]));
    addProperty(m_properties, "MinVertFreq", TCIMValue(descriptor[5]));
    addProperty(m_properties, "MaxVertFreq", TCIMValue(descriptor[6]));
    if (descriptor[9] != kNoBandwidth) {
        addProperty(m_properties, "Bandwidth",
                    TCIMValue(static_cast<std::uint32_t>(descriptor[9] * 10u)));
    }
}
