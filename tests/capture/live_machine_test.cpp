// The live machine reader on copies of the sysfs fixture trees: what the
// golden outputs of those trees cannot show, namely modes from a DRM node,
// the order of connectors, the primary output, the messages for damaged
// entries, and the conversions behind the IDs.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "capture/linux/LinuxIds.h"
#include "capture/linux/LinuxLayout.h"
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

class FakeUsbNames : public IUsbNames {
public:
    std::optional<std::string> VendorName(std::uint16_t vendor) override
    {
        return vendor == 0x17e9 ? std::optional<std::string>("DisplayLink") : std::nullopt;
    }
    std::optional<std::string> ProductName(std::uint16_t, std::uint16_t) override
    {
        return std::nullopt;
    }
};

// Answers for the nodes it was given; every other node is absent. Counts the
// nodes it was asked for.
class FakeModes : public IModeSource {
public:
    std::map<std::string, CardModes> cards;
    std::map<std::string, std::string> unavailable;
    std::multiset<std::string> asked;
    NodeState ReadCard(const std::string& nodePath, CardModes& modes, std::string& error) override
    {
        const std::string card = nodePath.substr(nodePath.rfind('/') + 1);
        asked.insert(card);
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

// A scratch copy of a fixture; two-gpus by default: card0 (Intel, boot VGA)
// with eDP-1 connected and HDMI-A-1 not, card1 (AMD) with DP-1 and DP-2
// connected.
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
    FakeUsbNames usbNames;
    LiveSources sources;
    sources.root = tree.root();
    sources.modes = &modes;
    sources.pciNames = &names;
    sources.usbNames = &usbNames;
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

std::vector<std::string> MonitorIds(const machine::Machine& machine)
{
    std::vector<std::string> ids;
    for (const machine::Output& output : machine.outputs) {
        for (const machine::DisplayDevice& monitor : output.monitors) {
            ids.push_back(monitor.id.substr(0, monitor.id.find("\\{")));
        }
    }
    return ids;
}

TEST(LiveIds, PciAndUsbInstanceIdsNameTheirSlot)
{
    const struct {
        const char* text;
        bool valid;
        const char* suffixEnd;  // of PciInstanceSuffix
    } addresses[] = {
        {"0000:01:00.0", true, "&0&0000"},  {"0000:00:1c.4", true, "&0&04E4"},
        {"0000:00:03.1", true, "&0&0119"},  {"10000:e1:00.0", true, "&0&0000"},
        {"ffffffff:00:02.0", true, "&0&0010"}, {"0000:00:20.0", false, ""},
        {"0000:00:02.8", false, ""},        {"0000:00:02.0x", false, ""},
        {"platform", false, ""},           {"0000-00:02.0", false, ""},
        {"000:00:02.0", false, ""},         {"100000000:00:02.0", false, ""},
        {"0000:0g:02.0", false, ""},
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
    EXPECT_EQ(ParsePciAddress("10000:e1:00.0")->domain, 0x10000u);

    const struct {
        const char* serial;
        const char* device;
        const char* suffix;  // "" for the hashed form, whose port follows
        const char* port;
    } usb[] = {
        {"UGA1650031729", "3-2", "UGA1650031729", ""},
        {"", "3-2", "", "&0&2"},
        {"A&B", "1-1.4", "", "&0&4"},
        {"with blank", "2-10", "", "&0&10"},
    };
    for (const auto& u : usb) {
        const std::string suffix = UsbInstanceSuffix(u.serial, "pci0000:00/0000:00:14.0/usb3", u.device);
        if (*u.suffix != '\0') {
            EXPECT_EQ(suffix, u.suffix);
        } else {
            EXPECT_EQ(suffix.substr(0, 2), "5&") << u.serial;
            EXPECT_EQ(suffix.substr(10), u.port) << u.serial;
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

// Cards given as their outputs' enabled states ("10": first enabled, second
// not), a leading '*' marking the boot display's card.
std::vector<Card> Cards(const std::vector<std::string>& shapes)
{
    std::vector<Card> cards;
    for (const std::string& shape : shapes) {
        Card card;
        card.bootDisplay = !shape.empty() && shape[0] == '*';
        for (char c : shape.substr(card.bootDisplay ? 1 : 0)) {
            Connector connector;
            connector.enabled = c == '1';
            card.connectors.push_back(connector);
        }
        cards.push_back(card);
    }
    return cards;
}

// The primary output: the first enabled one of the boot display's card,
// else of the first card when no card is the boot display, else the first
// enabled output of all; none when nothing is enabled.
TEST(LivePrimary, BootCardFirstThenEveryFallback)
{
    const struct {
        std::vector<std::string> cards;
        std::pair<std::size_t, std::size_t> primary;
    } cases[] = {
        {{"*01", "1"}, {0, 1}},
        {{"1", "*001"}, {1, 2}},
        {{"*", "01"}, {1, 1}},      // a boot card without outputs
        {{"*00", "0", "10"}, {2, 0}},  // a boot card with none enabled
        {{"01", "1"}, {0, 1}},      // no boot card: the first card
        {{"00", "01"}, {1, 1}},     // no boot card, the first without enabled outputs
        {{"*00", "00"}, {2, 0}},    // nothing enabled
        {{}, {0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PrimaryOutput(Cards(c.cards)), c.primary) << ::testing::PrintToString(c.cards);
    }

    // The same rule on whole trees (flag 4 primary, 1 attached): the boot
    // VGA card, the boot display of a card without boot_vga, a boot card
    // without outputs, and no boot card.
    const struct {
        const char* fixture;
        std::vector<int> flags;
    } trees[] = {
        {"two-gpus", {5, 0, 1, 0, 0}},
        {"nvidia-and-no-driver", {1, 0, 0, 1, 5}},
        {"boot-display", {1, 0, 5, 0}},
        {"nvidia-without-kms", {5}},
        {"not-on-pci", {5, 0}},
    };
    for (const auto& t : trees) {
        const Reading r = Read(Tree(t.fixture));
        std::vector<int> flags;
        for (const machine::Output& output : r.machine.outputs) {
            flags.push_back(static_cast<int>(output.flags));
        }
        EXPECT_EQ(flags, t.flags) << t.fixture;
    }
}

// Without connector_id: the order the DRM node lists, else built-in panels
// first, then type names, then numbers in numeric order.
TEST(LiveConnectors, OrderWithoutConnectorIds)
{
    const char* const ordered[] = {"DSI-1", "LVDS-1", "eDP-1", "eDP-2", "DP-1",
                                   "DP-2", "DP-10", "HDMI-A-1", "HDMI-A-2", "Virtual-1"};
    for (std::size_t i = 0; i < std::size(ordered); ++i) {
        for (std::size_t j = 0; j < std::size(ordered); ++j) {
            EXPECT_EQ(ComesBefore(ordered[i], ordered[j]), i < j)
                << ordered[i] << " / " << ordered[j];
        }
    }

    const auto namesOf = [](const Reading& r) {
        std::vector<std::string> names;
        for (const machine::Output& output : r.machine.outputs) {
            names.push_back(output.key.substr(output.key.size() - 4));
        }
        return names;
    };
    Tree tree("laptop-lts-kernel");
    const Reading byRule = Read(tree);
    EXPECT_EQ(byRule.problems, "");
    // eDP-1, DP-1 .. DP-4, HDMI-A-1: the panel is primary.
    EXPECT_EQ(byRule.machine.outputs[0].flags, 5u);
    ASSERT_EQ(MonitorIds(byRule.machine),
              (std::vector<std::string>{"MONITOR\\AUO7DA7", "MONITOR\\DEL4184"}));

    FakeModes node;
    for (const char* name : {"HDMI-A-1", "DP-2", "eDP-1", "DP-1", "DP-3", "DP-4"}) {
        node.cards["card0"].push_back(NodeConnector{0, name, {}});
    }
    const Reading byNode = Read(tree, node);
    EXPECT_EQ(byNode.problems, "");
    ASSERT_EQ(byNode.machine.outputs.size(), 6u);
    EXPECT_EQ(MonitorIds(byNode.machine),
              (std::vector<std::string>{"MONITOR\\DEL4184", "MONITOR\\AUO7DA7"}));
    EXPECT_EQ(namesOf(byNode), namesOf(byRule)) << "driver keys follow the position";
}

// Modes from the card's DRM node when it answers, matched by connector ID,
// from sysfs when it has none, refuses, or lacks the connector. Adapter
// names from the ID database.
TEST(LiveConnectors, ModesComeFromTheDrmNodeElseFromSysfs)
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
    ConnectorModes edp;
    edp.modes = {mode(3840, 2160, 60), mode(1920, 1080, 60), mode(1920, 1080, 50),
                 mode(1920, 1080, 60)};
    edp.current = mode(3840, 2160, 60);
    const struct {
        const char* what;
        CardModes node;  // empty: unavailable
        bool fromNode;
        const char* problem;
    } cases[] = {
        {"by connector ID", {{95, "eDP-1", edp}, {104, "HDMI-A-1", {}}}, true, ""},
        {"by ID, whatever the name", {{95, "Unknown21-1", edp}}, true, ""},
        {"connector missing", {{104, "HDMI-A-1", {}}}, false,
         "dev/dri/card0: has no connector eDP-1; its modes come from sysfs"},
        {"refused node", {}, false, "dev/dri/card0: Permission denied; modes from sysfs"},
    };
    for (const auto& c : cases) {
        FakeModes modes;
        if (c.node.empty()) {
            modes.unavailable["card0"] = "Permission denied";
        } else {
            modes.cards["card0"] = c.node;
        }
        const Reading r = Read(tree, modes);
        const machine::Output& output = r.machine.outputs[0];
        const std::vector<std::string> fromNode = {"1920x1080@50/0", "1920x1080@60/0",
                                                   "3840x2160@60/0"};
        EXPECT_EQ(modesOf(output), c.fromNode ? fromNode : modesOf(outputs[0])) << c.what;
        EXPECT_EQ(output.current.has_value(), c.fromNode) << c.what;
        EXPECT_NE(r.problems.find(c.problem), std::string::npos) << c.what << ": " << r.problems;
        EXPECT_EQ(modesOf(r.machine.outputs[2]), modesOf(outputs[2])) << c.what;
    }
}

// A run wakes nothing and asks nothing of cards without outputs: the node of
// a device in runtime suspend, and of a card without connectors, stays
// closed, and so does the NVIDIA driver's file of a suspended GPU.
TEST(LiveConnectors, SuspendedDevicesAndCardsWithoutOutputsAreLeftAlone)
{
    {
        Tree tree("laptop-lts-kernel");
        FakeModes modes;
        const Reading r = Read(tree, modes);
        EXPECT_EQ(modes.asked, (std::multiset<std::string>{"card0"}));
        EXPECT_EQ(r.problems, "");
        const machine::RegistryKey* key = nullptr;
        for (const machine::RegistryKey& k : r.machine.registry.Keys()) {
            if (k.path.find("VEN_10DE") != std::string::npos) key = &k;
        }
        ASSERT_NE(key, nullptr) << "the suspended GPU is a present device";
    }
    {
        Tree tree("laptop-lts-kernel");
        const std::string status =
            tree.root() + "/sys/devices/pci0000:00/0000:00:02.0/power/runtime_status";
        tree.Write(status, "suspended\n");
        FakeModes modes;
        Read(tree, modes);
        EXPECT_TRUE(modes.asked.empty()) << "a suspended card's node is not opened";
    }
    {
        Tree tree("raspberry-pi-4");
        FakeModes modes;
        Read(tree, modes);
        EXPECT_EQ(modes.asked, (std::multiset<std::string>{"card1"})) << "v3d has no outputs";
    }
}

// What a monitor is: a connected connector, with or without an EDID, and a
// connector of unknown status that carries one; a writeback connector is no
// output at all.
TEST(LiveConnectors, MonitorsWithAndWithoutEdidAndNoWriteback)
{
    const struct {
        const char* what;
        const char* status;  // of HDMI-A-1
        bool emptyEdid;
        std::vector<std::string> monitors;
    } cases[] = {
        {"connected with EDID", "connected", false, {"MONITOR\\ACI0112"}},
        {"connected without EDID", "connected", true, {"MONITOR\\Default_Monitor"}},
        {"unknown with EDID", "unknown", false, {"MONITOR\\ACI0112"}},
        {"unknown without EDID", "unknown", true, {}},
        {"disconnected", "disconnected", false, {}},
    };
    for (const auto& c : cases) {
        Tree copy("raspberry-pi-4");
        const std::string dir = copy.root() + "/sys/devices/platform/gpu/drm/card1/card1-HDMI-A-1/";
        copy.Write(dir + "status", std::string(c.status) + "\n");
        if (c.emptyEdid) {
            copy.Write(dir + "edid", "");
        }
        const Reading r = Read(copy);
        EXPECT_EQ(r.problems, "") << c.what;
        EXPECT_EQ(MonitorIds(r.machine), c.monitors) << c.what;
        EXPECT_EQ(r.machine.outputs.size(), 2u) << c.what << ": HDMI-A-1 and HDMI-A-2";
    }

    // A monitor without EDID keeps an empty EDID value, so that it is
    // reported without the properties an EDID gives.
    Tree copy("raspberry-pi-4");
    copy.Write(copy.root() + "/sys/devices/platform/gpu/drm/card1/card1-HDMI-A-1/edid", "");
    const machine::Machine m = Read(copy).machine;
    EXPECT_EQ(m.outputs[0].monitors.at(0).description, "Generic Non-PnP Monitor");
    const machine::RegistryKey* parameters = nullptr;
    for (const machine::RegistryKey& key : m.registry.Keys()) {
        if (key.path.find("Default_Monitor") != std::string::npos &&
            key.path.find("Device Parameters") != std::string::npos) {
            parameters = &key;
        }
    }
    ASSERT_NE(parameters, nullptr);
    ASSERT_NE(parameters->Find("EDID"), nullptr);
    EXPECT_TRUE(parameters->Find("EDID")->data.empty());
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
        {"huge edid", [&](const Tree& t) { t.Write(t.Card0(edid), Edid(40000)); },
         "card0-eDP-1/edid: cannot be read (larger than 32768 bytes); the monitor is reported "
         "without EDID",
         5, 3},
        {"edid is a FIFO",
         [&](const Tree& t) {
             fs::remove(t.Card0(edid));
             ASSERT_EQ(mkfifo(t.Card0(edid).c_str(), 0600), 0);
         },
         "edid: cannot be read (not a regular file)", 5, 3},
        {"short edid", [&](const Tree& t) { t.Write(t.Card0(edid), Edid(100)); },
         "fewer than the 128 of its base block; the monitor is reported without EDID", 5, 3},
        {"missing edid", [&](const Tree& t) { fs::remove(t.Card0(edid)); },
         "card0-eDP-1/edid: missing; the monitor is reported without EDID", 5, 3},
        {"dangling device link", [](const Tree& t) { fs::remove_all(t.Card0("")); },
         "class/drm/card0/device: cannot be resolved", 3, 2},
        {"device link loop",
         [](const Tree& t) {
             fs::remove(t.Card0("drm/card0/device"));
             fs::create_symlink("device", t.Card0("drm/card0/device"));
         },
         "card0: left out, its device cannot be found", 3, 2},
        {"missing vendor", [](const Tree& t) { fs::remove(t.Card0("vendor")); },
         "0000:00:02.0/vendor: missing", 5, 3},
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
        EXPECT_EQ(MonitorIds(r.machine).size(), c.monitors) << c.what;
        EXPECT_NO_THROW(machine::ReadDescription(machine::WriteDescription(r.machine), c.what))
            << c.what;
    }
}

// The ID databases: a PCI ID file libpci cannot parse gives no names and one
// message instead of ending the process; usb.ids names vendors and products.
TEST(LiveNames, BrokenAndPlainDatabases)
{
    const std::string folder = ::testing::TempDir();
    std::ofstream(folder + "broken-pci.ids") << "1002  ATI\n\t744c  Navi 31\nno id here\n";
    const auto pci = MakeLibpciNames(folder + "broken-pci.ids");
    EXPECT_EQ(pci->VendorName(0x1002), std::nullopt);
    EXPECT_NE(pci->Problem().find("line 3"), std::string::npos) << pci->Problem();
    EXPECT_EQ(AdapterName(*pci, 0x1002, 0x744c), "Device 1002:744c");

    std::ofstream(folder + "usb.ids") << "# comment\n17e9  DisplayLink\n\t019e  Plugable\n"
                                         "\t\t00  interface\nC 00  (Defined at Interface level)\n"
                                         "\t01  Audio\n";
    const auto usb = MakeUsbIdsNames(folder + "usb.ids");
    EXPECT_EQ(usb->VendorName(0x17e9), "DisplayLink");
    EXPECT_EQ(usb->ProductName(0x17e9, 0x019e), "Plugable");
    EXPECT_EQ(usb->ProductName(0x17e9, 0x0001), std::nullopt);
    EXPECT_EQ(MakeUsbIdsNames(folder + "missing.ids")->VendorName(0x17e9), std::nullopt);
}

}  // namespace
