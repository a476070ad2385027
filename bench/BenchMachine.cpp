#include "bench/BenchMachine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace benchmachine {

namespace {

using Json = nlohmann::json;
typedef std::vector<std::uint8_t> Bytes;

// ---- EDID -------------------------------------------------------------------

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

Bytes PadTo127(Bytes block)
{
    block.resize(127, 0);
    return block;
}

void Append(Bytes& to, const Bytes& bytes)
{
    to.insert(to.end(), bytes.begin(), bytes.end());
}

Bytes ManufacturerId(const char* letters)
{
    unsigned word = 0;
    for (int i = 0; i < 3; ++i) {
        word = (word << 5) | static_cast<unsigned>(letters[i] - 'A' + 1);
    }
    return {static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word & 0xFF)};
}

// Sync flags of byte 17.
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

// A display descriptor of up to 13 characters, ended by a line feed and
// padded with blanks.
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

// Support 0x00: default GTF (EDID 1.3); 0x01: range limits only (EDID 1.4).
// A clock of 0 leaves the maximum pixel clock unset (0xFF).
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

enum Aspect { k16x10 = 0, k4x3 = 1, k5x4 = 2, k16x9 = 3 };

Bytes StandardTiming(unsigned width, Aspect aspect, unsigned refresh)
{
    return {static_cast<std::uint8_t>(width / 8 - 31),
            static_cast<std::uint8_t>((aspect << 6) | (refresh - 60))};
}

// Further standard timings in a display descriptor (tag 0xFA), six of them.
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

struct BaseFields {
    const char* maker;
    unsigned product;
    std::uint32_t serial;
    unsigned week;  // 255: model year
    unsigned year;
    unsigned revision;
    std::uint8_t videoInput;
    unsigned widthCm, heightCm;
    double gamma;
    std::uint8_t features;
    Bytes chromaticity;
    Bytes established;  // bytes 35 to 37
    std::vector<Bytes> standard;
    std::vector<Bytes> descriptors;  // four
    unsigned extensions;
};

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
        Append(block, descriptor);
    }
    block.push_back(static_cast<std::uint8_t>(f.extensions));
    return WithChecksum(block);
}

// CTA-861 data blocks: video, LPCM audio, speakers, video capabilities and
// an HDMI vendor block at physical address 1.0.0.0.
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

// VESA DI-EXT (tag 0x40): byte 2 names the digital interface standard.
Bytes DisplayInformationExtension(std::uint8_t interfaceType)
{
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

const Timing kUhd = {533250, 3840, 160, 48, 32, 2160, 62, 3, 5, 597, 336, kDigitalSyncHPos};
const Timing kFullHd = {148500, 1920, 280, 88, 44, 1080, 45, 4, 5, 527, 296, kDigitalSyncPos};
const Timing kSxga = {108000, 1280, 408, 48, 112, 1024, 42, 1, 3, 376, 301, kDigitalSyncPos};
const Timing kPanel = {138500, 1920, 160, 48, 32, 1080, 31, 3, 5, 309, 174, kDigitalSyncHPos};
const Timing kInterlacedHd = {74250, 1920, 280, 88, 44, 540, 22, 2, 5, 1018, 573,
                              static_cast<std::uint8_t>(kDigitalSyncPos | kInterlaced)};
const Timing kWxga = {83500, 1280, 160, 48, 32, 800, 23, 3, 6, 0, 0, kDigitalSyncHPos};

// Per-monitor fields: the product code and the serial number tell the
// monitors of one model apart.
struct Identity {
    unsigned product;
    std::uint32_t serial;
    std::string serialText;
};

// DisplayPort, EDID 1.4, 3840x2160 preferred, one CTA-861 extension.
EdidBlocks Uhd14(const Identity& id)
{
    BaseFields f{"DEL", id.product, id.serial, 32, 2020, 4, 0xB5, 60, 34, 2.2, 0x3E,
                 kSrgbChromaticity, {0x21, 0x08, 0x00},
                 {StandardTiming(1920, k16x9, 60), StandardTiming(1280, k16x9, 60),
                  StandardTiming(1600, k16x9, 60), StandardTiming(1280, k5x4, 60)},
                 {DetailedTiming(kUhd), RangeLimits(24, 76, 30, 137, 600, 0x01),
                  TextDescriptor(0xFC, "DELL U2720Q"), TextDescriptor(0xFF, id.serialText)},
                 1};
    return Join({BaseBlock(f),
                 Cta861Block(1, 0xF0, {kCtaVideo4k, kCtaAudio, kCtaSpeakers, kCtaCapabilities},
                             {kUhd, kFullHd})});
}

// DVI, EDID 1.3; a block map, a CTA-861 block and a display information
// extension that names DVI single link.
EdidBlocks Dvi13(const Identity& id)
{
    BaseFields f{"GSM", id.product, id.serial, 11, 2012, 3, 0x81, 60, 34, 2.2, 0xEE,
                 kSrgbChromaticity, {0x21, 0x08, 0x00},
                 {StandardTiming(1680, k16x10, 60), StandardTiming(1280, k5x4, 60),
                  StandardTiming(1440, k16x10, 60), StandardTiming(1280, k16x10, 60)},
                 {DetailedTiming(kFullHd), RangeLimits(50, 75, 30, 83, 150, 0x00),
                  TextDescriptor(0xFC, "W2753"), TextDescriptor(0xFF, id.serialText)},
                 3};
    return Join({BaseBlock(f), BlockMap({0x02, 0x40}),
                 Cta861Block(1, 0xF0,
                             {kCtaVideo1080, kCtaAudio, kCtaSpeakers, kCtaCapabilities, kCtaHdmi},
                             {kFullHd}),
                 DisplayInformationExtension(0x02)});
}

// VGA, EDID 1.3, analog input, many established timings; no extension.
EdidBlocks Analog13(const Identity& id)
{
    BaseFields f{"SAM", id.product, id.serial, 44, 2009, 3, 0x0E, 38, 30, 2.2, 0xEE,
                 kSrgbChromaticity, {0xBF, 0xEF, 0x80},
                 {StandardTiming(1280, k5x4, 60), StandardTiming(1280, k5x4, 75),
                  StandardTiming(1152, k4x3, 75), StandardTiming(1024, k4x3, 85),
                  StandardTiming(800, k4x3, 85), StandardTiming(640, k4x3, 85)},
                 {DetailedTiming(kSxga), RangeLimits(56, 85, 30, 81, 140, 0x00),
                  TextDescriptor(0xFC, "SyncMaster"), TextDescriptor(0xFF, id.serialText)},
                 0};
    return Join({BaseBlock(f)});
}

// Laptop panel on eDP, EDID 1.4: no timings of the older kinds, no name,
// serial or range limits, but a dummy and two text (0xFE) descriptors.
EdidBlocks Panel14(const Identity& id)
{
    BaseFields f{"BOE", id.product, 0, 1, 2021, 4, 0xA5, 31, 17, 2.2, 0x02,
                 kPanelChromaticity, {0x00, 0x00, 0x00}, {},
                 {DetailedTiming(kPanel), DummyDescriptor(), TextDescriptor(0xFE, "BOE CQ"),
                  TextDescriptor(0xFE, "NV140FHM-N62")},
                 0};
    return Join({BaseBlock(f)});
}

// HDMI, EDID 1.3, 1920x1080, one CTA-861 extension.
EdidBlocks Hdmi13(const Identity& id)
{
    BaseFields f{"HPN", id.product, id.serial, 23, 2022, 3, 0x80, 53, 30, 2.2, 0xEE,
                 kSrgbChromaticity, {0x21, 0x08, 0x00},
                 {StandardTiming(1680, k16x10, 60), StandardTiming(1280, k5x4, 60),
                  StandardTiming(1280, k16x9, 60)},
                 {DetailedTiming(kFullHd), RangeLimits(48, 75, 30, 85, 170, 0x00),
                  TextDescriptor(0xFC, "HP E24 G5"), TextDescriptor(0xFF, id.serialText)},
                 1};
    return Join({BaseBlock(f),
                 Cta861Block(1, 0xF0,
                             {kCtaVideo1080, kCtaAudio, kCtaSpeakers, kCtaCapabilities, kCtaHdmi},
                             {kFullHd})});
}

// A television on HDMI, EDID 1.3, whose first detailed timing is 1080i; no
// week of manufacture, no serial number, no maximum pixel clock.
EdidBlocks Television13(const Identity& id)
{
    BaseFields f{"SNY", id.product, id.serial, 0, 2015, 3, 0x80, 0, 0, 2.2, 0x0A,
                 kSrgbChromaticity, {0x20, 0x00, 0x00},
                 {StandardTiming(1280, k16x9, 60), StandardTiming(1920, k16x9, 60)},
                 {DetailedTiming(kInterlacedHd), DetailedTiming(kFullHd),
                  TextDescriptor(0xFC, "SONY TV"), RangeLimits(48, 62, 15, 69, 0, 0x00)},
                 1};
    return Join({BaseBlock(f),
                 Cta861Block(2, 0xF0, {kCtaVideoTv, kCtaAudio, kCtaSpeakers, kCtaHdmi},
                             {kFullHd, kInterlacedHd})});
}

// An old CRT, EDID 1.1: every established timing, eight standard timings and
// six more in a descriptor, no detailed timing at all, and two range limits
// descriptors of which the first counts.
EdidBlocks Crt11(const Identity& id)
{
    BaseFields f{"NEC", id.product, id.serial, 8, 1998, 1, 0x0E, 32, 24, 2.6, 0xE8,
                 kSrgbChromaticity, {0xFF, 0xFF, 0x80},
                 {StandardTiming(1600, k4x3, 75), StandardTiming(1280, k5x4, 85),
                  StandardTiming(1280, k4x3, 85), StandardTiming(1152, k4x3, 85),
                  StandardTiming(1024, k4x3, 100), StandardTiming(800, k4x3, 100),
                  StandardTiming(640, k4x3, 100), StandardTiming(1600, k4x3, 60)},
                 {RangeLimits(50, 160, 31, 110, 230, 0x00), TextDescriptor(0xFC, "MultiSync"),
                  StandardTimingDescriptor({StandardTiming(1920, k4x3, 60),
                                            StandardTiming(1856, k4x3, 60),
                                            StandardTiming(1792, k4x3, 60),
                                            StandardTiming(1400, k4x3, 75),
                                            StandardTiming(1360, k16x9, 60),
                                            StandardTiming(1440, k16x10, 60)}),
                  RangeLimits(48, 120, 30, 96, 0, 0x00)},
                 0};
    return Join({BaseBlock(f)});
}

// A projector, EDID 1.4 with a model year instead of a week, and a display
// information extension only.
EdidBlocks Projector14(const Identity& id)
{
    BaseFields f{"EPS", id.product, id.serial, 255, 2019, 4, 0xA2, 0, 0, 2.2, 0x0A,
                 kSrgbChromaticity, {0x21, 0x0C, 0x00},
                 {StandardTiming(1280, k16x10, 60), StandardTiming(1024, k4x3, 60),
                  StandardTiming(1920, k16x9, 60)},
                 {DetailedTiming(kWxga), TextDescriptor(0xFC, "EPSON PJ"),
                  TextDescriptor(0xFF, id.serialText), DummyDescriptor()},
                 1};
    return Join({BaseBlock(f), DisplayInformationExtension(0x01)});
}

struct MonitorModel {
    const char* maker;  // as in the EDID
    const char* friendlyName;
    EdidBlocks (*edid)(const Identity&);
};

const MonitorModel kModels[kMonitorModelCount] = {
    {"DEL", "DELL U2720Q", Uhd14},         {"GSM", "Generic PnP Monitor", Dvi13},
    {"SAM", "Generic PnP Monitor", Analog13}, {"BOE", "Generic PnP Monitor", Panel14},
    {"HPN", "HP E24 G5", Hdmi13},          {"SNY", "Generic PnP Monitor", Television13},
    {"NEC", "Generic PnP Monitor", Crt11}, {"EPS", "Generic PnP Monitor", Projector14},
};

std::string Format(const char* format, unsigned a, unsigned b = 0, unsigned c = 0)
{
    char text[256];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

Identity IdentityOf(int index)
{
    const unsigned n = static_cast<unsigned>(index);
    return Identity{0x1000 + n, 0x01010101u * (n % 200 + 1), Format("BM%04u%06X", n, n * 7919)};
}

// The monitor's plug-and-play identifier, "DEL1000"; four hexadecimal digits
// for every monitor, so that no identifier begins with another.
std::string PnpId(int index)
{
    return kModels[index % kMonitorModelCount].maker + Format("%04X", IdentityOf(index).product);
}

std::string HexBytes(const EdidBlocks& bytes)
{
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) {
            text += ' ';
        }
        text += Format("%02x", bytes[i]);
    }
    return text;
}

// ---- machine ------------------------------------------------------------------

const char* const kMonitorClass = "{4d36e96e-e325-11ce-bfc1-08002be10318}";
const char* const kVideoKey = "System\\CurrentControlSet\\Control\\Video\\";
const char* const kEnumKey = "SYSTEM\\CurrentControlSet\\Enum\\";

// Device node status: started with its driver, or stopped with a problem.
constexpr unsigned kStarted = 0x0180200A;
constexpr unsigned kProblemStatus = 0x01802400;
constexpr unsigned kProblemNoDriver = 28;

constexpr unsigned kAttachedToDesktop = 0x1;
constexpr unsigned kPrimaryDevice = 0x4;
constexpr unsigned kMonitorActiveAttached = 0x3;

constexpr int kOutputsPerAdapter = 4;

struct AdapterModel {
    const char* vendor;
    unsigned firstDevice;
    const char* subsystem;
    const char* revision;
    const char* name;
    const char* chip;
    const char* dac;
    const char* biosFormat;  // with the adapter's number; all of one length
    std::uint64_t memory;
    const char* service;
    const char* inf;
};

const AdapterModel kAdapterModels[] = {
    {"10DE", 0x2500, "397D1462", "A1", "NVIDIA GeForce RTX 3060", "NVIDIA GeForce RTX 3060",
     "Integrated RAMDAC", "Version94.06.2c.%02u.8f", 12ull << 30, "nvlddmkm", "oem21.inf"},
    {"1002", 0x73E0, "E4401DA2", "C7", "AMD Radeon RX 6600", "AMD Radeon Graphics Processor",
     "Internal DAC(400MHz)", "113-D5321100-%03u", 8ull << 30, "amdkmdag", "oem33.inf"},
    {"8086", 0x4680, "7D981462", "0C", "Intel(R) UHD Graphics 770", "Intel(R) UHD Graphics Family",
     "Internal", "Intel Video BIOS %02u", 1ull << 30, "igfx", "oem12.inf"},
    {"102B", 0x0530, "0754103C", "01", "Matrox G200eR2", "G200eR2", "Integrated DAC",
     "MGA G200eR PCI BIOS 4.6.%02u", 16ull << 20, "mtxuxd", "oem4.inf"},
};

Json Mode(unsigned bits, unsigned width, unsigned height, unsigned frequency)
{
    return Json{{"bitsPerPel", bits}, {"pelsWidth", width}, {"pelsHeight", height},
                {"displayFrequency", frequency}, {"displayFlags", 0}};
}

Json ModeList(int adapterModel)
{
    struct Size {
        unsigned width, height;
        std::vector<unsigned> rates;
    };
    const std::vector<Size> sizes = {{640, 480, {60, 75}},     {800, 600, {56, 60, 75}},
                                     {1024, 768, {60, 70, 75}}, {1280, 720, {60}},
                                     {1280, 1024, {60, 75}},   {1680, 1050, {60}},
                                     {1920, 1080, {50, 60}},   {2560, 1440, {60, 144}},
                                     {3840, 2160, {30, 60}}};
    // The small server adapter lists 16-bit modes too and stops at 1280x1024.
    const std::vector<unsigned> depths =
        adapterModel == 3 ? std::vector<unsigned>{16, 32} : std::vector<unsigned>{32};
    Json modes = Json::array();
    for (unsigned bits : depths) {
        for (const Size& size : sizes) {
            if (adapterModel == 3 && size.width > 1280) {
                continue;
            }
            for (unsigned rate : size.rates) {
                modes.push_back(Mode(bits, size.width, size.height, rate));
            }
        }
    }
    return modes;
}

Json Utf16Value(const std::string& text)
{
    return Json{{"type", "REG_BINARY"}, {"utf16", text}};
}

Json StringValue(const std::string& text)
{
    return Json{{"type", "REG_SZ"}, {"string", text}};
}

Json DwordValue(unsigned number)
{
    return Json{{"type", "REG_DWORD"}, {"dword", number}};
}

Json HexValue(const char* type, std::uint64_t number, int bytes)
{
    EdidBlocks data;
    for (int i = 0; i < bytes; ++i) {
        data.push_back(static_cast<std::uint8_t>(number >> (8 * i)));
    }
    return Json{{"type", type}, {"hex", HexBytes(data)}};
}

Json IdList(const std::vector<std::string>& ids)
{
    Json list = Json::array();
    for (const std::string& id : ids) {
        list.push_back(id);
    }
    return list;
}

Json DeviceEntry(const std::string& instanceId, const std::vector<std::string>& hardwareIds,
                 const std::vector<std::string>& compatibleIds, unsigned status = kStarted,
                 unsigned problem = 0)
{
    Json device = {{"instanceId", instanceId}, {"hardwareIds", IdList(hardwareIds)}};
    if (!compatibleIds.empty()) {
        device["compatibleIds"] = IdList(compatibleIds);
    }
    device["status"] = status;
    device["problem"] = problem;
    return device;
}

void PciIds(const std::string& vendor, const std::string& device, const std::string& subsystem,
            const std::string& revision, const std::string& classCode,
            std::vector<std::string>& hardware, std::vector<std::string>& compatible)
{
    const std::string base = "PCI\\VEN_" + vendor + "&DEV_" + device;
    const std::string shortClass = classCode.substr(0, 4);
    hardware = {base + "&SUBSYS_" + subsystem + "&REV_" + revision, base + "&SUBSYS_" + subsystem,
                base + "&CC_" + classCode, base + "&CC_" + shortClass};
    compatible = {base + "&REV_" + revision,
                  base,
                  "PCI\\VEN_" + vendor + "&CC_" + classCode,
                  "PCI\\VEN_" + vendor + "&CC_" + shortClass,
                  "PCI\\VEN_" + vendor,
                  "PCI\\CC_" + classCode,
                  "PCI\\CC_" + shortClass};
}

// The other devices of the machine, of the kinds a PC has in numbers:
// chipset functions, USB and HID devices, ACPI nodes, audio endpoints,
// software devices, volumes and disks. Some have no driver.
Json FillerDevice(unsigned n, std::string& description)
{
    std::vector<std::string> hardware;
    std::vector<std::string> compatible;
    std::string instance;
    switch (n % 8) {
    case 0: {
        const std::string device = Format("%04X", 0x7A00 + n % 256);
        PciIds("8086", device, "7D981462", "11", "060400", hardware, compatible);
        instance = hardware[0] + Format("\\3&11583659&0&%X", n);
        description = "@machine.inf,%pci\\cc_0604.devicedesc%;PCI Express Root Port";
        break;
    }
    case 1: {
        const std::string ids = Format("VID_%04X&PID_%04X", 0x046D + n % 64, 0xC000 + n % 4096);
        instance = "USB\\" + ids + Format("\\%u", n);
        hardware = {"USB\\" + ids + "&REV_0100", "USB\\" + ids};
        compatible = {"USB\\Class_03&SubClass_01&Prot_02", "USB\\Class_03&SubClass_01",
                      "USB\\Class_03"};
        description = "@input.inf,%hid.devicedesc%;USB Input Device";
        break;
    }
    case 2: {
        const std::string ids = Format("VID_%04X&PID_%04X&MI_00", 0x046D + n % 64, 0xC000 + n % 4096);
        instance = "HID\\" + ids + Format("\\7&%08X&0&0000", n * 2654435761u);
        hardware = {"HID\\" + ids.substr(0, 17) + "&REV_0100&MI_00", "HID\\" + ids,
                    "HID_DEVICE_SYSTEM_KEYBOARD", "HID_DEVICE_UP:0001_U:0006", "HID_DEVICE"};
        description = "@keyboard.inf,%hid.keyboarddevice%;HID Keyboard Device";
        break;
    }
    case 3:
        instance = Format("ACPI\\PNP0C0F\\%u", n);
        hardware = {"ACPI\\PNP0C0F", "*PNP0C0F"};
        description = "@machine.inf,%*pnp0c0f.devicedesc%;PCI Interrupt Link";
        break;
    case 4:
        instance = Format("SWD\\MMDEVAPI\\{0.0.0.00000000}.{%08x-51a2-4e33-9b07-%012x}", n, n);
        hardware = {"MMDEVAPI\\AudioEndpoints"};
        description = "@mmdevapi.inf,%mmdevapi.audioendpoint%;Audio Endpoint";
        break;
    case 5:
        instance = Format("ROOT\\SYSTEM\\%04u", n);
        hardware = {"root\\umbus"};
        description = "@umbus.inf,%umbus.devicedesc%;UMBus Root Bus Enumerator";
        break;
    case 6:
        instance = Format("STORAGE\\VOLUME\\{8C2B6E1A-0D4F-11EE-9A5B-806E6F6E6963}#%016X", n);
        hardware = {"STORAGE\\Volume"};
        description = "@volume.inf,%storage\\volume.devicedesc%;Volume";
        break;
    default:
        instance = Format("SCSI\\DISK&VEN_NVME&PROD_SAMSUNG_SSD_980\\5&%08X&0&%06X", n * 40503u, n);
        hardware = {"SCSI\\DiskNVMe____Samsung_SSD_980_1B4Q", "SCSI\\DiskNVMe____Samsung_SSD_980_",
                    "SCSI\\DiskNVMe____", "SCSI\\NVMe____Samsung_SSD_980_1",
                    "NVMe____Samsung_SSD_980_1", "GenDisk"};
        compatible = {"SCSI\\Disk", "SCSI\\RAW"};
        description = "@disk.inf,%disk_devdesc%;Disk drive";
        break;
    }
    const bool withoutDriver = n % 97 == 96;
    return DeviceEntry(instance, hardware, compatible, withoutDriver ? kProblemStatus : kStarted,
                       withoutDriver ? kProblemNoDriver : 0);
}

std::vector<int> MonitorsPerOutput(int monitors)
{
    std::vector<int> outputs;
    for (int placed = 0, n = 0; placed < monitors; ++n) {
        const int count = std::min(n % 4 + 1, monitors - placed);
        outputs.push_back(count);
        placed += count;
    }
    return outputs;
}

std::string AdapterGuid(int adapter)
{
    return Format("{%08X-F2F2-4F3B-85BB-%012X}", 0x5B45201Du + static_cast<unsigned>(adapter),
                  0x30FF1F95u + static_cast<unsigned>(adapter));
}

}  // namespace

EdidBlocks MonitorEdid(int index)
{
    return kModels[index % kMonitorModelCount].edid(IdentityOf(index));
}

std::vector<EdidBlocks> SampleEdids()
{
    std::vector<EdidBlocks> samples;
    for (int model = 0; model < kMonitorModelCount; ++model) {
        samples.push_back(MonitorEdid(model));
    }
    return samples;
}

Shape ShapeOf(int monitors, int devices)
{
    const int outputs = static_cast<int>(MonitorsPerOutput(monitors).size());
    const int adapters = (outputs + kOutputsPerAdapter - 1) / kOutputsPerAdapter;
    return Shape{monitors, outputs, adapters, devices};
}

Json GenerateMachine(int monitors, int devices)
{
    const std::vector<int> perOutput = MonitorsPerOutput(monitors);
    const Shape shape = ShapeOf(monitors, devices);
    if (devices < shape.adapters + monitors) {
        throw std::invalid_argument("fewer devices than adapters and monitors");
    }

    Json registry = Json::object();
    Json displayDevices = Json::array();
    std::vector<Json> adapterDevices;
    std::vector<Json> monitorDevices;

    int monitor = 0;
    for (int output = 0; output < shape.outputs; ++output) {
        const int adapter = output / kOutputsPerAdapter;
        const int slot = output % kOutputsPerAdapter;
        const int adapterModel = adapter % 4;
        const AdapterModel& a = kAdapterModels[adapterModel];
        const std::string device = Format("%04X", a.firstDevice + static_cast<unsigned>(adapter));
        const std::string hardwareId = "PCI\\VEN_" + std::string(a.vendor) + "&DEV_" + device +
                                       "&SUBSYS_" + a.subsystem + "&REV_" + a.revision;
        const std::string videoKey =
            kVideoKey + AdapterGuid(adapter) + Format("\\%04u", static_cast<unsigned>(slot));

        if (slot == 0) {
            std::vector<std::string> hardware;
            std::vector<std::string> compatible;
            PciIds(a.vendor, device, a.subsystem, a.revision, "030000", hardware, compatible);
            const std::string instance =
                hardwareId + Format("\\4&1A2B3C4D&0&00%02X", 0x19 + static_cast<unsigned>(adapter));
            adapterDevices.push_back(DeviceEntry(instance, hardware, compatible));
            registry[kEnumKey + instance] = {
                {"DeviceDesc", StringValue("@" + std::string(a.inf) + ",%dev_" + device + "%;" +
                                           a.name)},
                {"Service", StringValue(a.service)},
                {"ConfigFlags", DwordValue(0)}};
        }
        registry[videoKey] = {
            {"DriverDesc", StringValue(a.name)},
            {"HardwareInformation.AdapterString", Utf16Value(a.name)},
            {"HardwareInformation.BiosString",
             Utf16Value(Format(a.biosFormat, static_cast<unsigned>(adapter)))},
            {"HardwareInformation.ChipType", Utf16Value(a.chip)},
            {"HardwareInformation.DacType", Utf16Value(a.dac)},
            {"HardwareInformation.MemorySize",
             HexValue("REG_BINARY", std::min<std::uint64_t>(a.memory, 0xFFF00000u), 4)},
            {"HardwareInformation.qwMemorySize", HexValue("REG_QWORD", a.memory, 8)}};

        const std::string outputName = Format("\\\\.\\DISPLAY%u", static_cast<unsigned>(output + 1));
        Json monitorEntries = Json::array();
        for (int m = 0; m < perOutput[static_cast<std::size_t>(output)]; ++m, ++monitor) {
            const MonitorModel& model = kModels[monitor % kMonitorModelCount];
            const std::string pnpId = PnpId(monitor);
            const unsigned number = static_cast<unsigned>(monitor + 1);
            monitorEntries.push_back(
                {{"deviceName", outputName + Format("\\Monitor%u", static_cast<unsigned>(m))},
                 {"deviceString", model.friendlyName},
                 {"stateFlags", kMonitorActiveAttached},
                 {"deviceID", "MONITOR\\" + pnpId + "\\" + kMonitorClass + Format("\\%04u", number)},
                 {"deviceKey", "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Class\\" +
                                   std::string(kMonitorClass) + Format("\\%04u", number)}});
            const std::string instance =
                "DISPLAY\\" + pnpId + Format("\\5&2B3C4D5E&0&UID%u", 4352 + number);
            monitorDevices.push_back(DeviceEntry(instance, {"MONITOR\\" + pnpId}, {"*PNP09FF"}));
            registry[kEnumKey + instance] = {
                {"DeviceDesc",
                 StringValue("@monitor.inf,%pnpmonitor.devicedesc%;Generic PnP Monitor")},
                {"HardwareID", Json{{"type", "REG_MULTI_SZ"}, {"strings", {"MONITOR\\" + pnpId}}}},
                {"Driver", StringValue(std::string(kMonitorClass) + Format("\\%04u", number))},
                {"Service", StringValue("monitor")}};
            registry[kEnumKey + instance + "\\Device Parameters"] = {
                {"EDID", Json{{"type", "REG_BINARY"}, {"hex", HexBytes(MonitorEdid(monitor))}}}};
        }

        displayDevices.push_back(
            {{"deviceName", outputName},
             {"deviceString", a.name},
             {"stateFlags", output == 0 ? kAttachedToDesktop | kPrimaryDevice : kAttachedToDesktop},
             {"deviceID", hardwareId},
             {"deviceKey", "\\Registry\\Machine\\" + videoKey},
             {"currentMode", Mode(32, 1920, 1080, 60)},
             {"modes", ModeList(adapterModel)},
             {"monitors", monitorEntries}});
    }

    // The adapters and monitors are spread evenly among the other devices.
    const int special = shape.adapters + monitors;
    const int fillers = devices - special;
    Json deviceList = Json::array();
    int filler = 0;
    int placed = 0;
    for (int position = 0; position < devices; ++position) {
        const bool placeSpecial =
            placed < special &&
            static_cast<long long>(position) * special >= static_cast<long long>(placed) * devices;
        if (placeSpecial || filler == fillers) {
            deviceList.push_back(placed < shape.adapters
                                     ? adapterDevices[static_cast<std::size_t>(placed)]
                                     : monitorDevices[static_cast<std::size_t>(placed - shape.adapters)]);
            ++placed;
            continue;
        }
        std::string description;
        Json device = FillerDevice(static_cast<unsigned>(filler), description);
        registry[kEnumKey + device["instanceId"].get<std::string>()] = {
            {"DeviceDesc", StringValue(description)}, {"ConfigFlags", DwordValue(0)}};
        deviceList.push_back(std::move(device));
        ++filler;
    }

    return Json{{"computerName", "BENCH-0001"},
                {"timeZone", {{"result", 1}, {"bias", -60}, {"standardBias", 0}, {"daylightBias", -60}}},
                {"displayDevices", displayDevices},
                {"devices", deviceList},
                {"registry", registry}};
}

}  // namespace benchmachine
