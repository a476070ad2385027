#include "tools/machinegen/Edid.h"

#include <cmath>
#include <stdexcept>

namespace machinegen {

namespace {

Bytes PadTo127(Bytes block)
{
    block.resize(127, 0);
    return block;
}

void Append(Bytes& to, const Bytes& bytes)
{
    to.insert(to.end(), bytes.begin(), bytes.end());
}

}  // namespace

Bytes WithChecksum(Bytes block)
{
    if (block.size() != 127) {
        throw std::logic_error("an EDID block has 127 bytes before its checksum");
    }
    unsigned sum = 0;
    for (std::uint8_t byte : block) {
        sum += byte;
    }
    block.push_back(static_cast<std::uint8_t>((256 - sum % 256) % 256));
    return block;
}

Bytes ManufacturerId(const char* letters)
{
    unsigned word = 0;
    for (int i = 0; i < 3; ++i) {
        word = (word << 5) | static_cast<unsigned>(letters[i] - 'A' + 1);
    }
    return {static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word & 0xFF)};
}

Bytes DetailedTiming(const Timing& t)
{
    const unsigned clock = t.clockKhz / 10;
    auto b = [](unsigned value) { return static_cast<std::uint8_t>(value & 0xFF); };
    return {b(clock), b(clock >> 8),
            b(t.hActive), b(t.hBlank), b(((t.hActive >> 8) << 4) | (t.hBlank >> 8)),
            b(t.vActive), b(t.vBlank), b(((t.vActive >> 8) << 4) | (t.vBlank >> 8)),
            b(t.hFront), b(t.hSync), b(((t.vFront & 0xF) << 4) | (t.vSync & 0xF)),
            b(((t.hFront >> 8) << 6) | ((t.hSync >> 8) << 4) | ((t.vFront >> 4) << 2) |
              (t.vSync >> 4)),
            b(t.widthMm), b(t.heightMm), b(((t.widthMm >> 8) << 4) | (t.heightMm >> 8)),
            0, 0, t.flags};
}

Bytes TextDescriptor(std::uint8_t tag, const std::string& text)
{
    Bytes descriptor = {0, 0, 0, tag, 0};
    std::string data = text.substr(0, 13);
    if (data.size() < 13) {
        data += '\n';
        data.resize(13, ' ');
    }
    descriptor.insert(descriptor.end(), data.begin(), data.end());
    return descriptor;
}

Bytes RangeLimits(unsigned minV, unsigned maxV, unsigned minHKhz, unsigned maxHKhz,
                  unsigned maxClockMhz, std::uint8_t support)
{
    const std::uint8_t clock =
        maxClockMhz == 0 ? 0xFF : static_cast<std::uint8_t>((maxClockMhz + 9) / 10);
    return {0, 0, 0, 0xFD, 0,
            static_cast<std::uint8_t>(minV), static_cast<std::uint8_t>(maxV),
            static_cast<std::uint8_t>(minHKhz), static_cast<std::uint8_t>(maxHKhz), clock,
            support, 0x0A, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20};
}

Bytes DummyDescriptor()
{
    Bytes descriptor = {0, 0, 0, 0x10, 0};
    descriptor.resize(18, 0);
    return descriptor;
}

Bytes StandardTiming(unsigned width, Aspect aspect, unsigned refresh)
{
    return {static_cast<std::uint8_t>(width / 8 - 31),
            static_cast<std::uint8_t>((aspect << 6) | (refresh - 60))};
}

Bytes StandardTimingDescriptor(const std::vector<Bytes>& timings)
{
    Bytes descriptor = {0, 0, 0, 0xFA, 0};
    for (const Bytes& timing : timings) {
        Append(descriptor, timing);
    }
    while (descriptor.size() < 17) {
        Append(descriptor, {0x01, 0x01});
    }
    descriptor.push_back(0x0A);
    return descriptor;
}

const Bytes kSrgbChromaticity = {0xEE, 0x91, 0xA3, 0x54, 0x4C, 0x99, 0x26, 0x0F, 0x50, 0x54};
const Bytes kPanelChromaticity = {0x0A, 0x1F, 0x93, 0x5A, 0x57, 0x90, 0x27, 0x24, 0x1F, 0x51};

Bytes BaseBlock(const BaseFields& f)
{
    Bytes block = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    Append(block, ManufacturerId(f.maker));
    Append(block, {static_cast<std::uint8_t>(f.product & 0xFF),
                   static_cast<std::uint8_t>(f.product >> 8)});
    for (int shift = 0; shift < 32; shift += 8) {
        block.push_back(static_cast<std::uint8_t>(f.serial >> shift));
    }
    Append(block, {static_cast<std::uint8_t>(f.week), static_cast<std::uint8_t>(f.year - 1990), 1,
                   static_cast<std::uint8_t>(f.revision)});
    Append(block, {f.videoInput, static_cast<std::uint8_t>(f.widthCm),
                   static_cast<std::uint8_t>(f.heightCm),
                   static_cast<std::uint8_t>(std::lround(f.gamma * 100) - 100), f.features});
    Append(block, f.chromaticity);
    Append(block, f.established);
    for (const Bytes& timing : f.standard) {
        Append(block, timing);
    }
    for (std::size_t i = f.standard.size(); i < 8; ++i) {
        Append(block, {0x01, 0x01});
    }
    for (const Bytes& descriptor : f.descriptors) {
        if (descriptor.size() != 18) {
            throw std::logic_error("an EDID descriptor has 18 bytes");
        }
        Append(block, descriptor);
    }
    block.push_back(static_cast<std::uint8_t>(f.extensions));
    return WithChecksum(block);
}

const Bytes kCtaVideo4k = {0x45, 0x61, 0x5F, 0x10, 0x04, 0x03};
const Bytes kCtaVideo1080 = {0x44, 0x10, 0x04, 0x03, 0x1F};
const Bytes kCtaVideoTv = {0x47, 0x90, 0x05, 0x04, 0x03, 0x14, 0x13, 0x1F};
const Bytes kCtaCapabilities = {0xE2, 0x00, 0xCB};
const Bytes kCtaAudio = {0x23, 0x09, 0x07, 0x07};
const Bytes kCtaSpeakers = {0x83, 0x01, 0x00, 0x00};
const Bytes kCtaHdmi = {0x65, 0x03, 0x0C, 0x00, 0x10, 0x00};

Bytes Cta861Block(unsigned nativeDtds, std::uint8_t flags, const std::vector<Bytes>& dataBlocks,
                  const std::vector<Timing>& timings)
{
    Bytes collection;
    for (const Bytes& dataBlock : dataBlocks) {
        Append(collection, dataBlock);
    }
    Bytes block = {0x02, 0x03, static_cast<std::uint8_t>(4 + collection.size()),
                   static_cast<std::uint8_t>(flags | nativeDtds)};
    Append(block, collection);
    for (const Timing& timing : timings) {
        Append(block, DetailedTiming(timing));
    }
    return WithChecksum(PadTo127(block));
}

Bytes BlockMap(const Bytes& tags)
{
    Bytes block = {0xF0};
    Append(block, tags);
    return WithChecksum(PadTo127(block));
}

Bytes DisplayInformationExtension(std::uint8_t interfaceType)
{
    // Version 1; the interface; no version of it, no data enable or clocking
    // details; 24-bit MSB-aligned RGB.
    Bytes block = {0x40, 0x01, interfaceType, 0x00, 0x00, 0x00, 0x00, 0x00,
                   0x24, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    return WithChecksum(PadTo127(block));
}

EdidBlocks Join(const std::vector<Bytes>& blocks)
{
    EdidBlocks joined;
    for (const Bytes& block : blocks) {
        Append(joined, block);
    }
    return joined;
}

}  // namespace machinegen
