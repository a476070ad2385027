#include "tools/machinegen/MonitorModels.h"

#include "layout/DisplayLayout.h"

namespace machinegen {

namespace {

const Timing kUhd = {533250, 3840, 160, 48, 32, 2160, 62, 3, 5, 597, 336, kDigitalSyncHPos};
const Timing kSxga = {108000, 1280, 408, 48, 112, 1024, 42, 1, 3, 376, 301, kDigitalSyncPos};
const Timing kPanel = {138500, 1920, 160, 48, 32, 1080, 31, 3, 5, 309, 174, kDigitalSyncHPos};
const Timing kInterlacedHd = {74250, 1920, 280, 88, 44, 540, 22, 2, 5, 1018, 573,
                              static_cast<std::uint8_t>(kDigitalSyncPos | kInterlaced)};
const Timing kWxga = {83500, 1280, 160, 48, 32, 800, 23, 3, 6, 0, 0, kDigitalSyncHPos};

// 1920x1080 at 60 Hz, with the monitor's image size.
Timing FullHd(const Identity& id)
{
    return Timing{148500, 1920, 280, 88, 44, 1080, 45, 4, 5, id.hdWidthMm, id.hdHeightMm,
                  kDigitalSyncPos};
}

}  // namespace

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
                             {kUhd, FullHd(id)})});
}

EdidBlocks Dvi13(const Identity& id)
{
    const Timing hd = FullHd(id);
    BaseFields f{"GSM", id.product, id.serial, 11, 2012, 3, 0x81, 60, 34, 2.2, 0xEE,
                 kSrgbChromaticity, {0x21, 0x08, 0x00},
                 {StandardTiming(1680, k16x10, 60), StandardTiming(1280, k5x4, 60),
                  StandardTiming(1440, k16x10, 60), StandardTiming(1280, k16x10, 60)},
                 {DetailedTiming(hd), RangeLimits(50, 75, 30, 83, 150, 0x00),
                  TextDescriptor(0xFC, "W2753"), TextDescriptor(0xFF, id.serialText)},
                 3};
    return Join({BaseBlock(f), BlockMap({0x02, 0x40}),
                 Cta861Block(1, 0xF0,
                             {kCtaVideo1080, kCtaAudio, kCtaSpeakers, kCtaCapabilities, kCtaHdmi},
                             {hd}),
                 DisplayInformationExtension(0x02)});
}

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

EdidBlocks Panel14(const Identity& id)
{
    BaseFields f{"BOE", id.product, 0, 1, 2021, 4, 0xA5, 31, 17, 2.2, 0x02,
                 kPanelChromaticity, {0x00, 0x00, 0x00}, {},
                 {DetailedTiming(kPanel), DummyDescriptor(), TextDescriptor(0xFE, "BOE CQ"),
                  TextDescriptor(0xFE, "NV140FHM-N62")},
                 0};
    return Join({BaseBlock(f)});
}

EdidBlocks Hdmi13(const Identity& id)
{
    const Timing hd = FullHd(id);
    BaseFields f{"HPN", id.product, id.serial, 23, 2022, 3, 0x80, 53, 30, 2.2, 0xEE,
                 kSrgbChromaticity, {0x21, 0x08, 0x00},
                 {StandardTiming(1680, k16x10, 60), StandardTiming(1280, k5x4, 60),
                  StandardTiming(1280, k16x9, 60)},
                 {DetailedTiming(hd), RangeLimits(48, 75, 30, 85, 170, 0x00),
                  TextDescriptor(0xFC, "HP E24 G5"), TextDescriptor(0xFF, id.serialText)},
                 1};
    return Join({BaseBlock(f),
                 Cta861Block(1, 0xF0,
                             {kCtaVideo1080, kCtaAudio, kCtaSpeakers, kCtaCapabilities, kCtaHdmi},
                             {hd})});
}

EdidBlocks Television13(const Identity& id)
{
    const Timing hd = FullHd(id);
    BaseFields f{"SNY", id.product, id.serial, 0, 2015, 3, 0x80, 0, 0, 2.2, 0x0A,
                 kSrgbChromaticity, {0x20, 0x00, 0x00},
                 {StandardTiming(1280, k16x9, 60), StandardTiming(1920, k16x9, 60)},
                 {DetailedTiming(kInterlacedHd), DetailedTiming(hd),
                  TextDescriptor(0xFC, "SONY TV"), RangeLimits(48, 62, 15, 69, 0, 0x00)},
                 1};
    return Join({BaseBlock(f),
                 Cta861Block(2, 0xF0, {kCtaVideoTv, kCtaAudio, kCtaSpeakers, kCtaHdmi},
                             {hd, kInterlacedHd})});
}

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

const MonitorModel kMonitorModels[kMonitorModelCount] = {
    {"DEL", "DELL U2720Q", Uhd14},
    {"GSM", layout::kGenericMonitorName, Dvi13},
    {"SAM", layout::kGenericMonitorName, Analog13},
    {"BOE", layout::kGenericMonitorName, Panel14},
    {"HPN", "HP E24 G5", Hdmi13},
    {"SNY", layout::kGenericMonitorName, Television13},
    {"NEC", layout::kGenericMonitorName, Crt11},
    {"EPS", layout::kGenericMonitorName, Projector14},
};

}  // namespace machinegen
