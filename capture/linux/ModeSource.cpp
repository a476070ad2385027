#include "capture/linux/ModeSource.h"

#include <algorithm>
#include <cstdlib>

namespace capture::sysfs {

namespace {

// A decimal number of 1 to 5 digits (no sign, no blanks); false otherwise.
bool ReadDimension(const std::string& text, std::uint32_t& value)
{
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    value = static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
    return value != 0;
}

}  // namespace

std::string ConnectorTypeName(std::uint32_t type)
{
    static const char* const kNames[] = {
        "Unknown", "VGA",  "DVI-I", "DVI-D",   "DVI-A",  "Composite", "SVIDEO",
        "LVDS",    "Component", "DIN", "DP",   "HDMI-A", "HDMI-B",    "TV",
        "eDP",     "Virtual", "DSI",  "DPI",   "Writeback", "SPI",    "USB",
    };
    if (type < sizeof kNames / sizeof kNames[0]) {
        return kNames[type];
    }
    return "Unknown" + std::to_string(type);
}

std::vector<LiveMode> ParseSysfsModes(const std::string& text, std::vector<std::string>& bad)
{
    std::vector<LiveMode> modes;
    std::string::size_type start = 0;
    while (start < text.size()) {
        std::string::size_type end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string original = text.substr(start, end - start);
        std::string line = original;
        start = end + 1;
        if (line.empty()) {
            continue;
        }
        LiveMode mode;
        if (line.back() == 'i') {
            mode.interlaced = true;
            line.pop_back();
        }
        const std::string::size_type x = line.find('x');
        if (x == std::string::npos || !ReadDimension(line.substr(0, x), mode.width) ||
            !ReadDimension(line.substr(x + 1), mode.height)) {
            bad.push_back(original);
            continue;
        }
        modes.push_back(mode);
    }
    return modes;
}

std::vector<LiveMode> OrderedModes(std::vector<LiveMode> modes)
{
    std::sort(modes.begin(), modes.end());
    modes.erase(std::unique(modes.begin(), modes.end()), modes.end());
    return modes;
}

}  // namespace capture::sysfs
