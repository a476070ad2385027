// The live machine reader on copies of the sysfs fixture trees: what the
// golden outputs of those trees cannot show, namely modes from a DRM node,
// the messages for damaged entries, and the conversions behind the IDs.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include <nlohmann/json.hpp>

#include "PlatformTest.h"
#include "platform/posix/live/DeviceIds.h"
#include "platform/posix/live/LiveMachine.h"

namespace {

namespace fs = std::filesystem;
using namespace displayplatform::live;
using Json = nlohmann::json;

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

// An EDID base block of the given manufacturer bytes and product code.
std::string Edid(unsigned char m0, unsigned char m1, unsigned product, std::size_t size = 128)
{
    std::string edid(size, '\0');
    const unsigned char header[8] = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0};
    for (std::size_t i = 0; i < 8 && i < size; ++i) edid[i] = static_cast<char>(header[i]);
    if (size > 11) {
        edid[8] = static_cast<char>(m0);
        edid[9] = static_cast<char>(m1);
        edid[10] = static_cast<char>(product & 0xFF);
        edid[11] = static_cast<char>(product >> 8);
    }
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
    Json machine;
    std::string problems;
};

Reading Read(const Tree& tree, FakeModes& modes)
{
    FakeNames names;
    LiveSources sources;
    sources.root = tree.root();
    sources.modes = &modes;
    sources.pciNames = &names;
    sources.computerName = "build-host.example.org";
    LiveMachine live = ReadLiveMachine(sources);
    Reading r{live.description, ""};
    for (const auto& p : live.problems) r.problems += p + "\n";
    return r;
}

Reading Read(const Tree& tree)
{
    FakeModes modes;
    return Read(tree, modes);
}

using LiveMachineTest = PlatformTest;

TEST(LiveIds, PciIdentitiesAreFormattedAsWindowsDoes)
{
    PciIdentity full{0x10de, 0x2504, 0x1462, 0x397d, 0xa1, 0x030000};
    PciIdentity noClass{0x102b, 0x0534, 0x103c, 0x0754, 0x01, std::nullopt};
    const struct {
        PciIdentity id;
        std::vector<std::string> hardware;
        std::size_t compatibleCount;
    } cases[] = {
        {full,
         {"PCI\\VEN_10DE&DEV_2504&SUBSYS_397D1462&REV_A1", "PCI\\VEN_10DE&DEV_2504&SUBSYS_397D1462",
          "PCI\\VEN_10DE&DEV_2504&CC_030000", "PCI\\VEN_10DE&DEV_2504&CC_0300"},
         7},
        {noClass,
         {"PCI\\VEN_102B&DEV_0534&SUBSYS_0754103C&REV_01", "PCI\\VEN_102B&DEV_0534&SUBSYS_0754103C"},
         3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PciHardwareIds(c.id), c.hardware);
        EXPECT_EQ(PciCompatibleIds(c.id).size(), c.compatibleCount);
    }
    EXPECT_EQ(PciCompatibleIds(full).back(), "PCI\\CC_0300");

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

TEST(LiveIds, MonitorModelComesFromTheEdidManufacturerAndProduct)
{
    const struct {
        std::string edid;
        const char* model;  // "" when refused
        const char* why;
    } cases[] = {
        {Edid(0x10, 0xAC, 0x40F2), "DEL40F2", ""},
        {Edid(0x1E, 0x6D, 0x5B7F), "GSM5B7F", ""},
        {Edid(0x4C, 0x2D, 0x02A5, 256), "SAM02A5", ""},
        {Edid(0x00, 0x00, 0x0001), "@@@0001", ""},
        {Edid(0x10, 0xAC, 0x40F2, 127), "", "fewer than the 128"},
        {std::string(128, '\x01'), "", "header"},
    };
    for (const auto& c : cases) {
        std::string why;
        const auto model = MonitorModelFromEdid(c.edid, why);
        EXPECT_EQ(model ? model->pnpId + model->product : "", c.model);
        EXPECT_NE(why.find(c.why), std::string::npos) << why;
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
        const Json entry = TimeZoneEntry(z.zone);
        EXPECT_EQ(entry["result"], z.result);
        EXPECT_EQ(entry["bias"], z.bias);
        EXPECT_EQ(entry["daylightBias"], z.daylightBias);
        EXPECT_EQ(entry["standardBias"], 0);
    }
}

// The primary output (flag 4) is the first enabled one of the boot VGA card,
// else of the first card; enabled outputs are attached (flag 1). The output
// classes do not show these flags, so the golden files cannot.
TEST_F(LiveMachineTest, PrimaryOutputIsOnTheBootVgaCardElseTheFirstCard)
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
        for (const Json& output : r.machine["displayDevices"]) {
            flags.push_back(output["stateFlags"]);
        }
        EXPECT_EQ(flags, c.flags) << c.fixture;
    }
}

// Modes from the card's DRM node when it answers, from sysfs when it has none
// or refuses; card1 has no node either way. Adapter names from the ID database.
TEST_F(LiveMachineTest, ModesComeFromTheDrmNodeElseFromSysfs)
{
    Tree tree;
    const auto modesOf = [](const Json& output) {
        std::vector<std::string> list;
        for (const Json& m : output["modes"]) {
            list.push_back(std::to_string(int(m["pelsWidth"])) + "x" +
                           std::to_string(int(m["pelsHeight"])) + "@" +
                           std::to_string(int(m["displayFrequency"])) + "/" +
                           std::to_string(int(m["displayFlags"])));
        }
        return list;
    };
    const Reading sysfs = Read(tree);
    EXPECT_EQ(sysfs.problems, "");
    const Json& outputs = sysfs.machine["displayDevices"];
    EXPECT_EQ(outputs[0]["deviceString"], "Intel Corporation Alder Lake-P GT2");
    EXPECT_EQ(outputs[2]["deviceString"], "Advanced Micro Devices, Inc. [AMD/ATI] Device 73ff");
    EXPECT_FALSE(outputs[0].contains("currentMode"));

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
        const Json& output = r.machine["displayDevices"][0];
        EXPECT_EQ(modesOf(output), c.drm ? c.modes : modesOf(outputs[0])) << c.what;
        EXPECT_EQ(output.contains("currentMode"), c.drm) << c.what;
        if (c.drm) {
            EXPECT_EQ(output["currentMode"]["pelsWidth"], 3840);
            EXPECT_EQ(output["currentMode"]["bitsPerPel"], 32);
        }
        EXPECT_NE(r.problems.find(c.problem), std::string::npos) << c.what << ": " << r.problems;
        EXPECT_EQ(modesOf(r.machine["displayDevices"][2]), modesOf(outputs[2])) << c.what;
    }
}

TEST_F(LiveMachineTest, ADamagedTreeGivesMessagesAndTheRestOfTheTree)
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
        {"huge edid", [&](const Tree& t) { t.Write(t.Card0(edid), Edid(0x10, 0xAC, 0x40F2, 40000)); },
         "card0-eDP-1/edid: cannot be read (larger than 32768 bytes)", 5, 2},
        {"edid is a FIFO",
         [&](const Tree& t) {
             fs::remove(t.Card0(edid));
             ASSERT_EQ(mkfifo(t.Card0(edid).c_str(), 0600), 0);
         },
         "edid: cannot be read (not a regular file)", 5, 2},
        {"short edid", [&](const Tree& t) { t.Write(t.Card0(edid), Edid(0x10, 0xAC, 0x40F2, 100)); },
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
        const Json& outputs = r.machine["displayDevices"];
        EXPECT_EQ(outputs.size(), c.outputs) << c.what;
        std::size_t monitors = 0;
        for (const Json& o : outputs) monitors += o["monitors"].size();
        EXPECT_EQ(monitors, c.monitors) << c.what;
        EXPECT_NO_THROW(Load(r.machine.dump())) << c.what;
    }
}

}  // namespace
