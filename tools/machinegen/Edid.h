#pragma once
// Assembles EDID blocks from their fields: the base block, its descriptors
// and timings, and the extension blocks (CTA-861, block map, display
// information). Every assembled block carries its checksum.
#include <cstdint>
#include <string>
#include <vector>

namespace machinegen {

typedef std::vector<std::uint8_t> Bytes;
typedef std::vector<std::uint8_t> EdidBlocks;  // a base block and its extensions

// Appends the checksum to 127 bytes, so that the 128 add up to 0 modulo 256.
Bytes WithChecksum(Bytes block);

// The three letters of a PnP manufacturer, five bits each, big-endian.
Bytes ManufacturerId(const char* letters);

// Sync flags of byte 17 of a detailed timing.
constexpr std::uint8_t kDigitalSyncHPos = 0x1A;  // digital separate sync, H+ V-
constexpr std::uint8_t kDigitalSyncPos = 0x1E;   // digital separate sync, H+ V+
constexpr std::uint8_t kInterlaced = 0x80;

struct Timing {
    unsigned clockKhz;
    unsigned hActive, hBlank, hFront, hSync;
    unsigned vActive, vBlank, vFront, vSync;
    unsigned widthMm, heightMm;
    std::uint8_t flags;
};

// An 18-byte detailed timing descriptor.
Bytes DetailedTiming(const Timing& timing);

// A display descriptor of up to 13 characters (tag 0xFC name, 0xFF serial,
// 0xFE text), ended by a line feed and padded with blanks.
Bytes TextDescriptor(std::uint8_t tag, const std::string& text);

// Support 0x00: default GTF (EDID 1.3); 0x01: range limits only (EDID 1.4).
// A clock of 0 leaves the maximum pixel clock unset (0xFF).
Bytes RangeLimits(unsigned minV, unsigned maxV, unsigned minHKhz, unsigned maxHKhz,
                  unsigned maxClockMhz, std::uint8_t support);

Bytes DummyDescriptor();

enum Aspect { k16x10 = 0, k4x3 = 1, k5x4 = 2, k16x9 = 3 };

// A two-byte standard timing: width 256 to 2288 in steps of 8, refresh 60 to
// 123 Hz.
Bytes StandardTiming(unsigned width, Aspect aspect, unsigned refresh);

// Further standard timings in a display descriptor (tag 0xFA), up to six.
Bytes StandardTimingDescriptor(const std::vector<Bytes>& timings);

extern const Bytes kSrgbChromaticity;
extern const Bytes kPanelChromaticity;

struct BaseFields {
    const char* maker;
    unsigned product;
    std::uint32_t serial;
    unsigned week;  // 255: model year
    unsigned year;
    unsigned revision;  // of EDID version 1
    std::uint8_t videoInput;
    unsigned widthCm, heightCm;
    double gamma;
    std::uint8_t features;
    Bytes chromaticity;
    Bytes established;  // bytes 35 to 37
    std::vector<Bytes> standard;  // up to eight; the rest are left unused
    std::vector<Bytes> descriptors;  // four
    unsigned extensions;
};

Bytes BaseBlock(const BaseFields& fields);

// CTA-861 data blocks: video, LPCM audio, speakers, video capabilities
// (selectable quantisation, underscanned IT and CE formats) and an HDMI
// vendor block at physical address 1.0.0.0. The first video block lists the
// native timing first.
extern const Bytes kCtaVideo4k;
extern const Bytes kCtaVideo1080;
extern const Bytes kCtaVideoTv;
extern const Bytes kCtaCapabilities;
extern const Bytes kCtaAudio;
extern const Bytes kCtaSpeakers;
extern const Bytes kCtaHdmi;

// A CTA-861 extension (revision 3): the flags byte's low bits take the
// number of native detailed timings; the data blocks come before the
// detailed timings.
Bytes Cta861Block(unsigned nativeDtds, std::uint8_t flags, const std::vector<Bytes>& dataBlocks,
                  const std::vector<Timing>& timings);

// A block map (tag 0xF0) listing the tags of the blocks that follow it.
Bytes BlockMap(const Bytes& tags);

// VESA DI-EXT (tag 0x40): the interface type names the digital interface
// standard.
Bytes DisplayInformationExtension(std::uint8_t interfaceType);

EdidBlocks Join(const std::vector<Bytes>& blocks);

}  // namespace machinegen
