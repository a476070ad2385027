#pragma once
#include <cstddef>

// Byte offsets of the EDID 1.x base block and the sizes the collector works
// with. Offsets count from the start of the block.
namespace EdidLayout {

// The registry value is read into a buffer of this size; longer values fail.
constexpr std::size_t kBufferSize = 2048;
constexpr std::size_t kBlockSize = 128;

constexpr std::size_t kHeader = 0;
constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kManufacturerId = 8;
constexpr std::size_t kWeek = 16;
constexpr std::size_t kYear = 17;
constexpr std::size_t kVersion = 18;
constexpr std::size_t kRevision = 19;
constexpr std::size_t kHorizontalSize = 21;
constexpr std::size_t kVerticalSize = 22;
constexpr std::size_t kGamma = 23;
constexpr std::size_t kFeatures = 24;
constexpr std::size_t kEstablishedTimings1 = 35;
constexpr std::size_t kEstablishedTimings2 = 36;
constexpr std::size_t kStandardTimings = 38;
constexpr std::size_t kStandardTimingCount = 8;
constexpr std::size_t kExtensionCount = 126;

constexpr std::size_t kDescriptorCount = 4;
constexpr std::size_t kDescriptors[kDescriptorCount] = {54, 72, 90, 108};
constexpr std::size_t kDescriptorSize = 18;

// Display descriptor tags.
constexpr int kTagSerialNumber = 0xFF;
constexpr int kTagRangeLimits = 0xFD;
constexpr int kTagMonitorName = 0xFC;
// What the collector's descriptor scans take for descriptors without a usable tag.
constexpr int kDetailedTiming = -2;
constexpr int kUntaggedDescriptor = -1;

// Extension blocks: the tag in byte 0 and, for the tag below, the digital
// interface in byte 2.
constexpr unsigned char kExtensionTagDigitalInterface = 0x40;
constexpr std::size_t kExtensionTag = 0;
constexpr std::size_t kExtensionDigitalInterface = 2;

}  // namespace EdidLayout
