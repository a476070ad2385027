#pragma once
// Display modes of a card's connectors, and where they come from: the DRM
// device node (through libdrm) when it can be opened, else sysfs.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace capture::sysfs {

struct LiveMode {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t refresh = 0;  // Hz; 0 when unknown (sysfs)
    bool interlaced = false;

    bool operator<(const LiveMode& other) const
    {
        return std::tie(width, height, refresh, interlaced) <
               std::tie(other.width, other.height, other.refresh, other.interlaced);
    }
    bool operator==(const LiveMode& other) const
    {
        return std::tie(width, height, refresh, interlaced) ==
               std::tie(other.width, other.height, other.refresh, other.interlaced);
    }
};

struct ConnectorModes {
    std::vector<LiveMode> modes;
    std::optional<LiveMode> current;  // the mode of the CRTC driving the connector
};

// A connector as the DRM node lists it.
struct NodeConnector {
    std::uint32_t id = 0;  // the kernel's connector object ID
    std::string name;      // "HDMI-A-1", as sysfs names it (without the card)
    ConnectorModes modes;
};

// A card's connectors in the order the node lists them, which is the order
// the driver created them in.
using CardModes = std::vector<NodeConnector>;

// The kernel's name of a connector type (drm_connector_enum_list), as sysfs
// and the node spell it; "Unknown<type>" for a type the kernel may add later.
std::string ConnectorTypeName(std::uint32_t type);

enum class NodeState {
    kAbsent,       // no such node, or no modesetting on it: sysfs is used without a message
    kUnavailable,  // there but not usable (permissions, not a DRM node): error says why
    kRead,
};

class IModeSource {
public:
    virtual ~IModeSource() = default;
    // Reads the connectors of the DRM node at nodePath (e.g. /dev/dri/card0).
    virtual NodeState ReadCard(const std::string& nodePath, CardModes& modes,
                               std::string& error) = 0;
};

// The adapter over libdrm's queries of the connectors' current state (no
// probing of the outputs). Opening a card node makes the opener DRM master
// when nobody holds that role; the adapter drops it at once, so that the
// compositor that comes next can take it.
std::unique_ptr<IModeSource> MakeDrmModeSource();

// The sysfs "modes" attribute: one "WIDTHxHEIGHT" per line, "i" appended
// for interlaced modes. Lines that do not read so are returned in bad.
std::vector<LiveMode> ParseSysfsModes(const std::string& text, std::vector<std::string>& bad);

// Sorted by size, rate and interlacing, each mode once (Windows lists modes
// in this order; the kernel lists the preferred mode first and repeats
// sizes for each rate).
std::vector<LiveMode> OrderedModes(std::vector<LiveMode> modes);

}  // namespace capture::sysfs
