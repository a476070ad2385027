// The live machine reader on copies of the sysfs fixture trees: what the
// golden outputs of those trees cannot show, namely modes from a DRM node,
// the messages for damaged entries, and the conversions behind the IDs.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "capture/linux/LinuxIds.h"
#include "capture/linux/LiveMachineLinux.h"
#include "machine/DescriptionCodec.h"

namespace {

namespace fs = std::filesystem;
using namespace capture::sysfs;

class FakeNames : public IPciNames {
public:
    std::optional<std::string> VendorName(std::uint16_t vendor) override
    {
        if (vendor == 0x8086) return std::string("Intel Corporation");
        if (vendor == 0x1002) return std::string("Advanced Micro Devices, Inc. [AMD/ATI]");
        return std::nullopt;
    }
    std::optional<std::string> DeviceName(std::uint16_t vendor, std::uint16_t device) override
    {
        if (vendor == 0x8086 && device == 0x46a6) return std::string("Alder Lake-P GT2");
        return std::nullopt;
    }
};

// Answers for the nodes it was given; every other node is absent.
class FakeModes : public IModeSource {
public:
    std::map<std::string, CardModes> cards;
    std::map<std::string, std::string> unavailable;
    NodeState ReadCard(const std::string& nodePath, CardModes& modes, std::string& error) override
    {
        const std::string card = nodePath.substr(nodePath.rfind('/') + 1);
        if (unavailable.count(card) != 0) {
            error = unavailable[card];
            return NodeState::kUnavailable;
        }
        if (cards.count(card) == 0) {
            return NodeState::kAbsent;
        }
        modes = cards[card];
        return NodeState::kRead;
    }
};

// An EDID base block of the given size with its header.
std::string Edid(std::size_t size)
{
    std::string edid(size, '\0');
    const unsigned char header[8] = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0};
    for (std::size_t i = 0; i < 8 && i < size; ++i) edid[i] = static_cast<char>(header[i]);
    return edid;
}

// A scratch copy of the two-gpus fixture: card0 (Intel, boot VGA) with eDP-1
// connected and HDMI-A-1 not, card1 (AMD) with DP-1 and DP-2 connected.
class Tree {
public:
    explicit Tree(const std::string& fixture = "two-gpus")
    {
        char pattern[] = "/tmp/live-machine-XXXXXX";
        root_ = mkdtemp(pattern);
        fs::copy(SYSFS_FIXTURES_DIR "/" + fixture, root_,
                 fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    }
    ~Tree() { fs::remove_all(root_); }
    const std::string& root() const { return root_; }
    // A path below the card0 device folder.
    std::string Card0(const std::string& path) const
    {
        return root_ + "/sys/devices/pci0000:00/0000:00:02.0/" + path;
    }
    void Write(const std::string& path, const std::string& content) const
    {
        fs::remove(path);
        std::ofstream(path, std::ios::binary) << content;
    }

private:
    std::string root_;
};

struct Reading {
    machine::Machine machine;
    std::string problems;
};

Reading Read(const Tree& tree, FakeModes& modes)
{
    FakeNames names;
    LiveSources sources;
    sources.root = tree.root();
    sources.modes = &modes;
    sources.pciNames = &names;
    sources.hostName = "build-host.example.org";
    capture::LiveMachine live = ReadLiveMachine(sources);
    Reading r{live.machine, ""};
    for (const auto& p : live.problems) r.problems += p + "\n";
    return r;
}

Reading Read(const Tree& tree)
{
    FakeModes modes;
    return Read(tree, modes);
}

TEST(LiveIds, PciInstanceIdsNameTheSlotAndItsParentBus)
{
    const struct {
        const char* text;
        bool valid;
        const char* suffixEnd;  // of PciInstanceSuffix
    } addresses[] = {
        {"0000:01:00.0", true, "&0&0000"},  {"0000:00:1c.4", true, "&0&04E4"},
        {"0000:00:03.1", true, "&0&0119"},  {"0000:00:20.0", false, ""},
        {"0000:00:02.8", false, ""},        {"0000:00:02.0x", false, ""},
        {"platform", false, ""},           {"0000-00:02.0", false, ""},
    };
    for (const auto& a : addresses) {
        const auto address = ParsePciAddress(a.text);
        ASSERT_EQ(address.has_value(), a.valid) << a.text;
        if (address) {
            const std::string suffix = PciInstanceSuffix("pci0000:00", *address);
            EXPECT_EQ(suffix.substr(0, 2), "4&");
            EXPECT_EQ(suffix.substr(10), a.suffixEnd) << a.text;
            EXPECT_NE(suffix, PciInstanceSuffix("pci0000:00/0000:00:01.0", *address))
                << "the parent bus is part of the ID";
        }
    }
}

TEST(LiveIds, HostNameAndZoneBecomeWhatWindowsReports)
{
    const struct {
        const char* host;
        const char* name;
    } names[] = {
        {"build-host.example.org", "BUILD-HOST"},
        {"averyveryverylonghostname", "AVERYVERYVERYLO"},
        {"", "LOCALHOST"},
        {".local", "LOCALHOST"},
        {"h\xc3\xa9te", "HTE"},
    };
    for (const auto& n : names) {
        EXPECT_EQ(NetBiosName(n.host), n.name) << n.host;
    }

    const struct {
        ZoneOffsets zone;
        long result;
        long bias;
        long daylightBias;
    } zones[] = {
        {{0, std::nullopt, false}, 0, 0, 0},
        {{3600, 7200, false}, 1, -60, -60},
        {{3600, 7200, true}, 2, -60, -60},
        {{-18000, -14400, true}, 2, 300, -60},
        {{19800, std::nullopt, false}, 0, -330, 0},
        {{37800, 41400, false}, 1, -630, -60},
    };
    for (const auto& z : zones) {
        const machine::TimeZone zone = WindowsTimeZone(z.zone);
        EXPECT_EQ(zone.result, z.result);
        EXPECT_EQ(zone.bias, z.bias);
        EXPECT_EQ(zone.daylight, z.daylightBias);
        EXPECT_EQ(zone.standard, 0);
    }
}

// The primary output (flag 4) is the first enabled one of the boot VGA card,
// else of the first card; enabled outputs are attached (flag 1). The output
// classes do not show these flags, so the golden files cannot.
TEST(LiveMachine, PrimaryOutputIsOnTheBootVgaCardElseTheFirstCard)
{
    const struct {
        const char* fixture;
        std::vector<int> flags;
    } cases[] = {
        {"two-gpus", {5, 0, 1, 0, 0}},
        {"nvidia-and-no-driver", {1, 0, 0, 1, 5}},  // card2 is the boot VGA card
        {"not-on-pci", {5, 0}},                     // no card says
    };
    for (const auto& c : cases) {
        const Reading r = Read(Tree(c.fixture));
        std::vector<int> flags;
        for (const machine::Output& output : r.machine.outputs) {
            flags.push_back(static_cast<int>(output.flags));
        }
        EXPECT_EQ(flags, c.flags) << c.fixture;
    }
}

// Modes from the card's DRM node when it answers, from sysfs when it has none
// or refuses; card1 has no node either way. Adapter names from the ID database.
TEST(LiveMachine, ModesComeFromTheDrmNodeElseFromSysfs)
{
    Tree tree;
    const auto modesOf = [](const machine::Output& output) {
        std::vector<std::string> list;
        for (const machine::DisplayMode& m : output.modes) {
            list.push_back(std::to_string(m.width) + "x" + std::to_string(m.height) + "@" +
                           std::to_string(m.frequency) + "/" + std::to_string(m.flags));
        }
        return list;
    };
    const Reading sysfs = Read(tree);
    EXPECT_EQ(sysfs.problems, "");
    const std::vector<machine::Output>& outputs = sysfs.machine.outputs;
    EXPECT_EQ(outputs[0].description, "Intel Corporation Alder Lake-P GT2");
    EXPECT_EQ(outputs[2].description, "Advanced Micro Devices, Inc. [AMD/ATI] Device 73ff");
    EXPECT_FALSE(outputs[0].current);

    const auto mode = [](std::uint32_t w, std::uint32_t h, std::uint32_t hz) {
        return LiveMode{w, h, hz, false};
    };
    const struct {
        const char* what;
        bool drm;
        std::vector<std::string> modes;  // empty: those from sysfs
        const char* problem;
    } cases[] = {
        {"libdrm", true, {"1920x1080@50/0", "1920x1080@60/0", "3840x2160@60/0"}, ""},
        {"refused node", false, {}, "dev/dri/card0: Permission denied; modes from sysfs"},
    };
    for (const auto& c : cases) {
        FakeModes modes;
        if (c.drm) {
            ConnectorModes edp;
            edp.modes = {mode(3840, 2160, 60), mode(1920, 1080, 60), mode(1920, 1080, 50),
                         mode(1920, 1080, 60)};
            edp.current = mode(3840, 2160, 60);
            modes.cards["card0"]["eDP-1"] = edp;
        } else {
            modes.unavailable["card0"] = "Permission denied";
        }
        const Reading r = Read(tree, modes);
        const machine::Output& output = r.machine.outputs[0];
        EXPECT_EQ(modesOf(output), c.drm ? c.modes : modesOf(outputs[0])) << c.what;
        EXPECT_EQ(output.current.has_value(), c.drm) << c.what;
        if (c.drm) {
            EXPECT_EQ(output.current->width, 3840u);
            EXPECT_EQ(output.current->bitsPerPixel, 32u);
        }
        EXPECT_NE(r.problems.find(c.problem), std::string::npos) << c.what << ": " << r.problems;
        EXPECT_EQ(modesOf(r.machine.outputs[2]), modesOf(outputs[2])) << c.what;
    }
}

TEST(LiveMachine, ADamagedTreeGivesMessagesAndTheRestOfTheTree)
{
    const std::string edid = "drm/card0/card0-eDP-1/edid";
    const struct {
        const char* what;
        std::function<void(const Tree&)> damage;
        const char* problem;
        std::size_t outputs;
        std::size_t monitors;
    } cases[] = {
        {"empty edid", [&](const Tree& t) { t.Write(t.Card0(edid), ""); },
         "card0-eDP-1/edid: empty; the monitor is left out", 5, 2},
        {"huge edid", [&](const Tree& t) { t.Write(t.Card0(edid), Edid(40000)); },
         "card0-eDP-1/edid: cannot be read (larger than 32768 bytes)", 5, 2},
        {"edid is a FIFO",
         [&](const Tree& t) {
             fs::remove(t.Card0(edid));
             ASSERT_EQ(mkfifo(t.Card0(edid).c_str(), 0600), 0);
         },
         "edid: cannot be read (not a regular file)", 5, 2},
        {"short edid", [&](const Tree& t) { t.Write(t.Card0(edid), Edid(100)); },
         "fewer than the 128 of its base block", 5, 2},
        {"dangling device link", [](const Tree& t) { fs::remove_all(t.Card0("")); },
         "class/drm/card0/device: cannot be resolved", 3, 2},
        {"device link loop",
         [](const Tree& t) {
             fs::remove(t.Card0("drm/card0/device"));
             fs::create_symlink("device", t.Card0("drm/card0/device"));
         },
         "card0: left out, its device cannot be found", 3, 2},
        {"missing vendor", [](const Tree& t) { fs::remove(t.Card0("vendor")); },
         "card0/device/vendor: missing", 5, 3},
        {"malformed revision", [](const Tree& t) { t.Write(t.Card0("revision"), "0x1ff\n"); },
         "revision: \"0x1ff\" is not a hexadecimal number up to 0xff", 5, 3},
        {"missing status",
         [](const Tree& t) { fs::remove(t.Card0("drm/card0/card0-eDP-1/status")); },
         "card0-eDP-1/status: missing", 5, 2},
        {"bad mode line",
         [](const Tree& t) { t.Write(t.Card0("drm/card0/card0-eDP-1/modes"), "1920x1080\nwide\n"); },
         "\"wide\" is not a mode", 5, 3},
    };
    for (const auto& c : cases) {
        Tree tree;
        c.damage(tree);
        const Reading r = Read(tree);
        EXPECT_NE(r.problems.find(c.problem), std::string::npos) << c.what << ":\n" << r.problems;
        const std::vector<machine::Output>& outputs = r.machine.outputs;
        EXPECT_EQ(outputs.size(), c.outputs) << c.what;
        std::size_t monitors = 0;
        for (const machine::Output& o : outputs) monitors += o.monitors.size();
        EXPECT_EQ(monitors, c.monitors) << c.what;
        EXPECT_NO_THROW(machine::ReadDescription(machine::WriteDescription(r.machine), c.what))
            << c.what;
    }
}

}  // namespace
