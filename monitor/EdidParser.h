#pragma once
// Decoding of an EDID 1.x block into plain values, with no host, logger or
// platform behind it: the monitor collector turns the result into properties
// and log lines.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "monitor/EdidLayout.h"

namespace edid {

// One of the four 18-byte descriptors of the base block.
struct Descriptor {
    // A non-zero pixel clock (bytes 0 and 1) makes a detailed timing; the
    // other two fields are left as they are then.
    bool detailedTiming = false;
    // Byte 3 of a display descriptor.
    std::uint8_t tag = 0;
    // Byte 2 of a display descriptor is 0, so tag is its tag.
    bool tagged = false;
};

// The limits of the first range-limits descriptor.
struct RangeLimits {
    std::uint8_t minVerticalHz = 0;
    std::uint8_t maxVerticalHz = 0;
    std::uint8_t minHorizontalKHz = 0;
    std::uint8_t maxHorizontalKHz = 0;
};

struct Mode {
    std::uint32_t horizontal = 0;
    std::uint32_t vertical = 0;
    std::uint32_t refresh = 0;
};

enum class ScanMode : std::uint8_t { Unknown, NonInterlaced, Interlaced };

// At most 16 established and 8 standard timings.
constexpr std::size_t kMaxModes = 24;

// What a block says. When valid is false nothing else is filled in.
struct EdidInfo {
    // The header is right and the version is 1; the checksum is not looked at.
    bool valid = false;

    // The three letters of the manufacturer ID; empty when the ID is 0.
    std::string manufacturer;
    std::uint8_t version = 0;
    std::uint8_t revision = 0;
    // Week and year of manufacture as stored (the year counts from 1990).
    std::uint8_t week = 0;
    std::uint8_t year = 0;
    // Image size in centimetres, 0 when not given.
    std::uint8_t horizontalSize = 0;
    std::uint8_t verticalSize = 0;
    // Gamma × 100 − 100, 0 when not given.
    std::uint8_t gamma = 0;
    bool dpmsStandby = false;
    bool dpmsSuspend = false;
    bool dpmsActiveOff = false;

    // The text of the first descriptor tagged as monitor name, and of the first
    // tagged as serial number; a first descriptor with no text leaves it empty
    // even when a later one has text.
    std::string name;
    std::string serialNumber;

    // Minimum and maximum rates from the first range-limits descriptor; the
    // bandwidth in MHz from the first range-limits descriptor that gives one.
    std::optional<RangeLimits> rangeLimits;
    std::optional<std::uint32_t> bandwidthMHz;

    // Byte 2 of the first digital-interface extension block among the
    // complete extension blocks read.
    std::optional<std::uint8_t> digitalInterface;

    // Taken from the first detailed timing descriptor; Unknown without one.
    ScanMode scanMode = ScanMode::Unknown;
    // The established timings in bit order (byte 35 bits 0 to 7, then byte
    // 36), then the used standard timings in entry order.
    std::vector<Mode> modes;

    std::array<Descriptor, EdidLayout::kDescriptorCount> descriptors{};
};

// Decodes the EDID at bytes, of which bytesRead bytes were read; nothing past
// them is touched. A base block shorter than 128 bytes reads as if padded
// with zeros. Extension blocks are examined only when complete, at most as
// many as byte 126 announces and as fit in the registry buffer
// (EdidLayout::kBufferSize): bytes beyond it are never looked at.
EdidInfo ParseEdid(const std::uint8_t* bytes, std::size_t bytesRead);

}  // namespace edid
