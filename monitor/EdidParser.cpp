#include "monitor/EdidParser.h"

#include <algorithm>

using namespace EdidLayout;

namespace edid {
namespace {

const std::uint8_t kEdidHeader[kHeaderSize] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
const std::uint8_t kSupportedVersion = 1;

// Feature support bits for the power-management states.
const std::uint8_t kActiveOffBit = 0x20;
const std::uint8_t kSuspendBit = 0x40;
const std::uint8_t kStandbyBit = 0x80;

// Display descriptor text: up to 13 bytes from byte 5, ended by a line feed
// or a zero byte.
const std::size_t kTextOffset = 5;
const std::size_t kTextLength = 13;
const std::uint8_t kLineFeed = 0x0A;

// Range limits: the rates in bytes 5 to 8, the maximum pixel clock in units
// of 10 MHz in byte 9, 0xFF when not given.
const std::size_t kMinVerticalRate = 5;
const std::size_t kMaxVerticalRate = 6;
const std::size_t kMinHorizontalRate = 7;
const std::size_t kMaxHorizontalRate = 8;
const std::size_t kMaxPixelClock = 9;
const std::uint8_t kNoBandwidth = 0xFF;

// Byte 17 of a detailed timing descriptor: bit 7 marks an interlaced mode.
const std::size_t kTimingFlags = 17;
const std::uint8_t kInterlacedBit = 0x80;

// The established timings, one per bit: byte 35 bits 0 to 7, then byte 36.
const Mode kEstablishedModes[2][8] = {
    {{800, 600, 60}, {800, 600, 56}, {640, 480, 75}, {640, 480, 72},
     {640, 480, 67}, {640, 480, 60}, {720, 400, 88}, {720, 400, 70}},
    {{1280, 1024, 75}, {1024, 768, 75}, {1024, 768, 70}, {1024, 768, 60},
     {1024, 768, 87}, {832, 624, 75}, {800, 600, 75}, {800, 600, 72}},
};

// A standard timing's first byte of 0 or 1 marks an unused entry.
const std::uint8_t kUnusedStandardTiming = 1;

// A standard-timing entry: horizontal pixels from the first byte, the aspect
// ratio in the top two bits of the second and the refresh rate in the rest.
Mode DecodeStandardTiming(std::uint8_t first, std::uint8_t second)
{
    Mode mode;
    mode.horizontal = first * 8u + 248u;
    switch (second >> 6) {
    case 0:  // 16:10
        mode.vertical = mode.horizontal * 10u / 16u;
        break;
    case 1:  // 4:3
        mode.vertical = mode.horizontal * 3u / 4u;
        break;
    case 2:  // 5:4
        mode.vertical = mode.horizontal * 4u / 5u;
        break;
    default:  // 16:9
        mode.vertical = mode.horizontal * 9u / 16u;
        break;
    }
    mode.refresh = (second & 0x3Fu) + 60u;
    return mode;
}

std::string DecodeManufacturer(const std::uint8_t* id)
{
    const unsigned word = id[0] * 256u + id[1];
    if (word == 0) {
        return std::string();
    }
    // Three 5-bit letters, 1 standing for 'A'; bit 15 is reserved. Codes
    // outside 1..26 are passed through as the characters they give.
    const char letters[] = {static_cast<char>(((word >> 10) & 0x1F) + 0x40),
                            static_cast<char>(((word >> 5) & 0x1F) + 0x40),
                            static_cast<char>((word & 0x1F) + 0x40)};
    return std::string(letters, sizeof(letters));
}

Descriptor DecodeDescriptor(const std::uint8_t* descriptor)
{
    Descriptor result;
    // Detailed timing descriptors start with a non-zero pixel clock.
    if (descriptor[0] != 0 || descriptor[1] != 0) {
        result.detailedTiming = true;
        return result;
    }
    result.tag = descriptor[3];
    result.tagged = descriptor[2] == 0;
    return result;
}

std::string DescriptorText(const std::uint8_t* descriptor)
{
    const std::uint8_t* text = descriptor + kTextOffset;
    const std::uint8_t* end = std::find_if(
        text, text + kTextLength, [](std::uint8_t c) { return c == kLineFeed || c == 0; });
    return std::string(text, end);
}

// Byte 2 of the first digital-interface block among the extension blocks
// that were read whole.
std::optional<std::uint8_t> FindDigitalInterface(const std::uint8_t* bytes, std::size_t bytesRead)
{
    const std::size_t readable = std::min(bytesRead, kBufferSize);
    if (readable <= kBlockSize || bytes[kExtensionCount] == 0) {
        return std::nullopt;
    }
    // Byte 126 may announce more blocks than were read; a partly read block
    // is not examined.
    const std::size_t extensions =
        std::min<std::size_t>(bytes[kExtensionCount], readable / kBlockSize - 1);
    for (std::size_t n = 1; n <= extensions; ++n) {
        const std::uint8_t* block = bytes + n * kBlockSize;
        if (block[kExtensionTag] == kExtensionTagDigitalInterface) {
            return block[kExtensionDigitalInterface];
        }
    }
    return std::nullopt;
}

void DecodeModes(const std::uint8_t* base, std::vector<Mode>& modes)
{
    modes.reserve(kMaxModes);
    const std::uint8_t established[2] = {base[kEstablishedTimings1], base[kEstablishedTimings2]};
    for (int byte = 0; byte < 2; ++byte) {
        for (int bit = 0; bit < 8; ++bit) {
            if ((established[byte] >> bit) & 1) {
                modes.push_back(kEstablishedModes[byte][bit]);
            }
        }
    }
    for (std::size_t entry = 0; entry < kStandardTimingCount; ++entry) {
        const std::uint8_t* timing = base + kStandardTimings + 2 * entry;
        if (timing[0] > kUnusedStandardTiming) {
            modes.push_back(DecodeStandardTiming(timing[0], timing[1]));
        }
    }
}

}  // namespace

EdidInfo ParseEdid(const std::uint8_t* bytes, std::size_t bytesRead)
{
    // A short base block is decoded from a zero-padded copy, as the collector
    // reads the registry value into a zeroed buffer.
    std::uint8_t padded[kBlockSize] = {};
    const std::uint8_t* base = bytes;
    if (bytesRead < kBlockSize) {
        if (bytesRead != 0) {
            std::copy_n(bytes, bytesRead, padded);
        }
        base = padded;
    }

    EdidInfo info;
    if (!std::equal(kEdidHeader, kEdidHeader + kHeaderSize, base + kHeader) ||
        base[kVersion] != kSupportedVersion) {
        return info;
    }
    info.valid = true;

    info.manufacturer = DecodeManufacturer(base + kManufacturerId);
    info.version = base[kVersion];
    info.revision = base[kRevision];
    info.week = base[kWeek];
    info.year = base[kYear];
    info.horizontalSize = base[kHorizontalSize];
    info.verticalSize = base[kVerticalSize];
    info.gamma = base[kGamma];
    const std::uint8_t features = base[kFeatures];
    info.dpmsActiveOff = (features & kActiveOffBit) != 0;
    info.dpmsSuspend = (features & kSuspendBit) != 0;
    info.dpmsStandby = (features & kStandbyBit) != 0;

    bool nameSeen = false;
    bool serialNumberSeen = false;
    for (std::size_t n = 0; n < kDescriptorCount; ++n) {
        const std::uint8_t* descriptor = base + kDescriptors[n];
        const Descriptor decoded = DecodeDescriptor(descriptor);
        info.descriptors[n] = decoded;
        if (decoded.detailedTiming) {
            if (info.scanMode == ScanMode::Unknown) {
                const bool interlaced = (descriptor[kTimingFlags] & kInterlacedBit) != 0;
                info.scanMode = interlaced ? ScanMode::Interlaced : ScanMode::NonInterlaced;
            }
            continue;
        }
        if (!decoded.tagged) {
            continue;
        }
        if (decoded.tag == kTagMonitorName && !nameSeen) {
            nameSeen = true;
            info.name = DescriptorText(descriptor);
        } else if (decoded.tag == kTagSerialNumber && !serialNumberSeen) {
            serialNumberSeen = true;
            info.serialNumber = DescriptorText(descriptor);
        } else if (decoded.tag == kTagRangeLimits) {
            if (!info.rangeLimits) {
                RangeLimits limits;
                limits.minVerticalHz = descriptor[kMinVerticalRate];
                limits.maxVerticalHz = descriptor[kMaxVerticalRate];
                limits.minHorizontalKHz = descriptor[kMinHorizontalRate];
                limits.maxHorizontalKHz = descriptor[kMaxHorizontalRate];
                info.rangeLimits = limits;
            }
            if (!info.bandwidthMHz && descriptor[kMaxPixelClock] != kNoBandwidth) {
                info.bandwidthMHz = descriptor[kMaxPixelClock] * 10u;
            }
        }
    }

    info.digitalInterface = FindDigitalInterface(bytes, bytesRead);
    DecodeModes(base, info.modes);
    return info;
}

}  // namespace edid
