#pragma once
// The monitor models the generated machines draw from, each an EDID of the
// model's own kind for a given monitor of it.
#include <cstdint>
#include <string>

#include "tools/machinegen/Edid.h"

namespace machinegen {

// What tells the monitors of one model apart. A model without a serial
// number field or descriptor leaves those out.
struct Identity {
    unsigned product;
    std::uint32_t serial;
    std::string serialText;
    // The image size given with the model's 1920x1080 timings.
    unsigned hdWidthMm = 527;
    unsigned hdHeightMm = 296;
};

// DisplayPort, EDID 1.4, 3840x2160 preferred, one CTA-861 extension.
EdidBlocks Uhd14(const Identity& id);
// DVI, EDID 1.3, 1920x1080; a block map, a CTA-861 block and a display
// information extension that names DVI single link.
EdidBlocks Dvi13(const Identity& id);
// VGA, EDID 1.3, analog input, 1280x1024, many established timings; no
// extension.
EdidBlocks Analog13(const Identity& id);
// Laptop panel on eDP, EDID 1.4: as panels do, no timings of the older
// kinds, no name, serial or range limits, but a dummy and two text (0xFE)
// descriptors.
EdidBlocks Panel14(const Identity& id);
// HDMI, EDID 1.3, 1920x1080, one CTA-861 extension.
EdidBlocks Hdmi13(const Identity& id);
// A television on HDMI, EDID 1.3, whose first detailed timing is 1080i; no
// week of manufacture, no serial number, no maximum pixel clock.
EdidBlocks Television13(const Identity& id);
// An old CRT, EDID 1.1: every established timing, eight standard timings and
// six more in a descriptor, no detailed timing at all, and two range limits
// descriptors of which the first counts.
EdidBlocks Crt11(const Identity& id);
// A projector, EDID 1.4 with a model year instead of a week, and a display
// information extension only.
EdidBlocks Projector14(const Identity& id);

struct MonitorModel {
    const char* maker;  // as in the EDID
    const char* friendlyName;  // the monitor's device string
    EdidBlocks (*edid)(const Identity&);
};

constexpr int kMonitorModelCount = 8;

// In this order: Uhd14, Dvi13, Analog13, Panel14, Hdmi13, Television13,
// Crt11, Projector14.
extern const MonitorModel kMonitorModels[kMonitorModelCount];

}  // namespace machinegen
