// libFuzzer target: the live Linux reader over damaged copies of the sysfs
// fixture trees. Whatever the damage, the reader must not crash or hang, and
// what it makes of the rest of the tree must be a machine description the
// loader takes.
//
// Input: one byte choosing the fixture (and, with its top bit, whether the
// DRM nodes answer), then up to 16 damages of 4 bytes each: the kind, two
// bytes choosing an entry of the tree (files, links and folders, in name
// order) and one argument. The fixtures bring the shapes of real kernels:
// writeback connectors, connected outputs without EDID, cards without
// connectors, DRM devices below virtio, USB and VMBus devices, connectors
// without connector_id, devices in runtime suspend.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "FuzzCheck.h"
#include "capture/linux/LiveMachineLinux.h"
#include "machine/DescriptionCodec.h"
#include "platform/posix/MachineDescription.h"

namespace fs = std::filesystem;

namespace {

const char* const kFixtures[] = {"two-gpus",          "nvidia-and-no-driver", "not-on-pci",
                                 "vm-qxl",            "hyperv",               "virtio-old-kernel",
                                 "raspberry-pi-4",    "laptop-lts-kernel",    "nvidia-without-kms",
                                 "usb-display",       "boot-display"};
const std::size_t kDamageSize = 4;
const std::size_t kMaxDamages = 16;
// Larger than any attribute or EDID the reader accepts.
const std::size_t kHugeFile = 40 * 1024;

// No DRM nodes: the modes come from sysfs, as on the fixtures themselves.
class NoDrmNodes : public capture::sysfs::IModeSource {
public:
    capture::sysfs::NodeState ReadCard(const std::string&,
                                              capture::sysfs::CardModes&,
                                              std::string&) override
    {
        return capture::sysfs::NodeState::kAbsent;
    }
};

// Nodes that list the same connectors whatever the card: some with IDs the
// trees use, one without, one the trees lack, in an order of their own.
class SomeDrmNodes : public capture::sysfs::IModeSource {
public:
    capture::sysfs::NodeState ReadCard(const std::string&, capture::sysfs::CardModes& modes,
                                       std::string&) override
    {
        capture::sysfs::ConnectorModes one;
        one.modes = {{1920, 1080, 60, false}, {640, 480, 60, false}};
        one.current = capture::sysfs::LiveMode{1920, 1080, 60, false};
        modes = {{104, "HDMI-A-1", {}}, {95, "eDP-1", one}, {0, "DP-1", one},
                 {36, "Virtual-1", one}, {51, "Writeback-1", {}}, {7, "DSI-9", one}};
        return capture::sysfs::NodeState::kRead;
    }
};

// Empty ID databases, so that the run does not depend on the system's.
class NoPciNames : public capture::sysfs::IPciNames {
public:
    std::optional<std::string> VendorName(std::uint16_t) override { return std::nullopt; }
    std::optional<std::string> DeviceName(std::uint16_t, std::uint16_t) override
    {
        return std::nullopt;
    }
};

class NoUsbNames : public capture::sysfs::IUsbNames {
public:
    std::optional<std::string> VendorName(std::uint16_t) override { return std::nullopt; }
    std::optional<std::string> ProductName(std::uint16_t, std::uint16_t) override
    {
        return std::nullopt;
    }
};

const fs::path& Scratch()
{
    static const fs::path scratch = [] {
        std::string pattern = (fs::temp_directory_path() / "sysfs-fuzz-XXXXXX").string();
        FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
        return fs::path(pattern);
    }();
    return scratch;
}

void WriteFile(const fs::path& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

// Puts something else where the entry was.
void Damage(const fs::path& entry, std::uint8_t kind, std::uint8_t argument)
{
    std::error_code ignored;
    switch (kind % 10) {
    case 0:
        fs::remove_all(entry, ignored);
        break;
    case 1:
        if (fs::is_regular_file(fs::symlink_status(entry, ignored))) {
            fs::resize_file(entry, 0, ignored);
        }
        break;
    case 2:
        if (fs::is_regular_file(fs::symlink_status(entry, ignored))) {
            WriteFile(entry, std::string(argument, static_cast<char>(argument ^ 0x5A)));
        }
        break;
    case 3:
        if (fs::is_regular_file(fs::symlink_status(entry, ignored))) {
            WriteFile(entry, std::string(kHugeFile, static_cast<char>(argument)));
        }
        break;
    case 4:
        fs::remove_all(entry, ignored);
        fs::create_symlink("nothing-here", entry, ignored);
        break;
    case 5:
        fs::remove_all(entry, ignored);
        fs::create_symlink(entry.filename(), entry, ignored);  // a link to itself
        break;
    case 6:
        fs::remove_all(entry, ignored);
        fs::create_directory(entry, ignored);
        break;
    case 7:
        fs::remove_all(entry, ignored);
        mkfifo(entry.c_str(), 0600);
        break;
    case 8:
        fs::remove_all(entry, ignored);
        fs::create_symlink("..", entry, ignored);  // a loop through the parent
        break;
    default:
        if (fs::is_regular_file(fs::symlink_status(entry, ignored))) {
            static const char* const texts[] = {
                "0x",        "0xzz\n",    "-1\n",      "99999999999999999999\n",
                "connected", "enabled\n\n", "1920x\n",  "\n",
                "unknown\n", "suspended\n", "1\n",      "{}\n"};
            WriteFile(entry, texts[argument % 12]);
        }
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) {
        return 0;
    }
    const fs::path tree = Scratch() / "tree";
    std::error_code error;
    fs::remove_all(tree, error);
    FUZZ_CHECK(!error);
    const char* fixture = kFixtures[(data[0] & 0x7F) % (sizeof(kFixtures) / sizeof(kFixtures[0]))];
    fs::copy(fs::path(SYSFS_FIXTURES_DIR) / fixture, tree,
             fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
    FUZZ_CHECK(!error);

    std::vector<fs::path> entries;
    for (auto it = fs::recursive_directory_iterator(tree); it != fs::recursive_directory_iterator();
         ++it) {
        entries.push_back(it->path());
    }
    std::sort(entries.begin(), entries.end());
    for (std::size_t at = 1, done = 0; at + kDamageSize <= size && done < kMaxDamages;
         at += kDamageSize, ++done) {
        const std::size_t pick = (std::size_t{data[at + 1]} << 8 | data[at + 2]) % entries.size();
        Damage(entries[pick], data[at], data[at + 3]);
    }

    NoDrmNodes noNodes;
    SomeDrmNodes someNodes;
    NoPciNames names;
    NoUsbNames usbNames;
    capture::sysfs::LiveSources sources;
    sources.root = tree.string();
    sources.modes = (data[0] & 0x80) != 0 ? static_cast<capture::sysfs::IModeSource*>(&someNodes)
                                          : &noNodes;
    sources.pciNames = &names;
    sources.usbNames = &usbNames;
    sources.hostName = "FUZZ";
    try {
        const capture::LiveMachine machine = capture::sysfs::ReadLiveMachine(sources);
        for (const std::string& problem : machine.problems) {
            FUZZ_CHECK(!problem.empty());
        }
        displayplatform::LoadMachineJson(machine::WriteDescription(machine.machine), "live machine");
    } catch (const std::exception& e) {
        // The reader reports damage as problems; it never gives up on the
        // tree, and never writes a description the loader refuses.
        std::fprintf(stderr, "%s\n", e.what());
        std::abort();
    }
    displayplatform::ResetMachine();
    return 0;
}
