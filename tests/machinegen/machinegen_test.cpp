#include <dirent.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "layout/DeviceNodes.h"
#include "machine/DescriptionCodec.h"
#include "platform/posix/MachineDescription.h"
#include "tools/machinegen/BenchMachines.h"
#include "tools/machinegen/ExampleMachines.h"
#include "tools/machinegen/RealMonitors.h"

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The machine descriptions in a folder: its .json files but the schema.
std::set<std::string> JsonFilesIn(const std::string& folder)
{
    std::set<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            const std::string schema = ".schema.json";
            if (name.size() > 5 && name.compare(name.size() - 5, 5, ".json") == 0 &&
                !(name.size() > schema.size() &&
                  name.compare(name.size() - schema.size(), schema.size(), schema) == 0)) {
                names.insert(name);
            }
        }
        closedir(dir);
    }
    return names;
}

int RunGenerator(const std::string& arguments)
{
    const std::string command = "'" GENERATE_MACHINES_EXE "' " + arguments + " 2>/dev/null";
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

std::string Quoted(const std::string& path)
{
    return "'" + path + "'";
}

// Where two texts first differ, by line, for a readable failure.
std::string FirstDifference(const std::string& expected, const std::string& actual)
{
    std::istringstream e(expected);
    std::istringstream a(actual);
    std::string eLine;
    std::string aLine;
    for (int line = 1;; ++line) {
        const bool eMore = static_cast<bool>(std::getline(e, eLine));
        const bool aMore = static_cast<bool>(std::getline(a, aLine));
        if (!eMore && !aMore) {
            return "only in the line ends or the final line feed";
        }
        if (eMore != aMore || eLine != aLine) {
            return "line " + std::to_string(line) + ":\n  checked in: " +
                   (eMore ? eLine : "(end)") + "\n  generated:  " + (aMore ? aLine : "(end)");
        }
    }
}

// What is wrong with a run of EDID blocks: their length, the 128 bytes of a
// block not adding up to 0, a base block without its header, or a number of
// extensions that differs from the blocks that follow.
std::string EdidFaults(const std::vector<std::uint8_t>& edid)
{
    if (edid.empty() || edid.size() % 128 != 0) {
        return "length " + std::to_string(edid.size());
    }
    const std::vector<std::uint8_t> header = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    if (!std::equal(header.begin(), header.end(), edid.begin())) {
        return "no header";
    }
    if (edid[126] + 1u != edid.size() / 128) {
        return std::to_string(edid[126]) + " extensions announced, " +
               std::to_string(edid.size() / 128 - 1) + " present";
    }
    for (std::size_t block = 0; block < edid.size() / 128; ++block) {
        unsigned sum = 0;
        for (std::size_t i = 0; i < 128; ++i) {
            sum += edid[block * 128 + i];
        }
        if (sum % 256 != 0) {
            return "block " + std::to_string(block) + " adds up to " + std::to_string(sum % 256);
        }
    }
    return "";
}

// The EDID values of a machine by the key that holds them.
std::vector<std::pair<std::string, std::vector<std::uint8_t>>> EdidValues(const machine::Machine& m)
{
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> values;
    for (const machine::RegistryKey& key : m.registry.Keys()) {
        if (const machine::RegistryValue* edid = key.Find("EDID")) {
            values.emplace_back(key.path, edid->data);
        }
    }
    return values;
}

}  // namespace

// The checked-in examples are exactly what the generator writes, and it
// writes every one of them: a change to either shows here.
TEST(ExampleMachines, GeneratorWritesTheCheckedInFilesByteForByte)
{
    std::string folder = ::testing::TempDir() + "generated_examples_XXXXXX";
    ASSERT_NE(mkdtemp(&folder[0]), nullptr);
    ASSERT_EQ(RunGenerator(Quoted(folder)), 0);

    EXPECT_EQ(JsonFilesIn(folder), JsonFilesIn(EXAMPLES_DIR));
    for (const std::string& name : JsonFilesIn(EXAMPLES_DIR)) {
        const std::string checkedIn = ReadFile(std::string(EXAMPLES_DIR) + "/" + name);
        const std::string generated = ReadFile(folder + "/" + name);
        EXPECT_TRUE(checkedIn == generated)
            << name << " differs from the generator's, first at "
            << FirstDifference(checkedIn, generated)
            << "\nRun scripts/update-examples.sh after changing the generator.";
    }
    // A folder that is not there is reported, not silently skipped.
    EXPECT_EQ(RunGenerator(Quoted(folder + "/missing")), 1);
}

// Every EDID the generator makes, for the examples and for the benchmarks,
// has valid checksums and announces the extensions it has.
TEST(GeneratedEdids, CarryTheirChecksumsAndExtensionCounts)
{
    for (int index = 0; index < 24; ++index) {
        EXPECT_EQ(EdidFaults(machinegen::MonitorEdid(index)), "") << "benchmark monitor " << index;
    }
    int exampleEdids = 0;
    for (const machine::Machine& example : {machinegen::Workstation(), machinegen::Laptop()}) {
        for (const auto& edid : EdidValues(example)) {
            ++exampleEdids;
            EXPECT_EQ(EdidFaults(edid.second), "") << edid.first;
        }
    }
    EXPECT_EQ(exampleEdids, 5);
}

// The loader accepts the benchmarks' machines, and they hold what ShapeOf
// says, which the benchmarks check their results against.
TEST(GeneratedMachines, LoadAndHaveTheShapeTheyReport)
{
    const int shapes[][2] = {{1, 3}, {5, 20}, {16, 100}, {64, 300}};
    for (const auto& size : shapes) {
        const machine::Machine machine = machinegen::GenerateMachine(size[0], size[1]);
        const machinegen::Shape shape = machinegen::ShapeOf(size[0], size[1]);
        EXPECT_NO_THROW(
            displayplatform::LoadMachineJson(machine::WriteDescription(machine), "generated"))
            << size[0] << " monitors, " << size[1] << " devices";

        std::set<std::string> adapters;
        int monitors = 0;
        for (const machine::Output& output : machine.outputs) {
            adapters.insert(output.id);
            monitors += static_cast<int>(output.monitors.size());
        }
        EXPECT_EQ(monitors, shape.monitors);
        EXPECT_EQ(static_cast<int>(machine.outputs.size()), shape.outputs);
        EXPECT_EQ(static_cast<int>(adapters.size()), shape.adapters);
        EXPECT_EQ(static_cast<int>(machine.devices.size()), shape.devices);
    }
    displayplatform::ResetMachine();
    EXPECT_THROW(machinegen::GenerateMachine(4, 4), std::invalid_argument);
}

// The checked-in machine of real monitors is what the generator writes from
// the EDID samples; a folder it cannot read or without EDID blocks fails.
TEST(RealMonitorMachine, GeneratorWritesTheCheckedInFileByteForByte)
{
    std::string folder = ::testing::TempDir() + "generated_real_monitors_XXXXXX";
    ASSERT_NE(mkdtemp(&folder[0]), nullptr);
    const std::string file = folder + "/real-monitors.json";
    ASSERT_EQ(RunGenerator("--real-monitors " + Quoted(EDID_SAMPLES_DIR) + " " + Quoted(file)), 0);

    const std::string checkedIn = ReadFile(REAL_MONITORS_FILE);
    const std::string generated = ReadFile(file);
    EXPECT_TRUE(checkedIn == generated)
        << REAL_MONITORS_FILE << " differs from the generator's, first at "
        << FirstDifference(checkedIn, generated)
        << "\nRun scripts/update-examples.sh after changing the generator.";

    EXPECT_EQ(RunGenerator("--real-monitors " + Quoted(folder + "/missing") + " " +
                           Quoted(folder + "/out.json")),
              1);
    EXPECT_EQ(
        RunGenerator("--real-monitors " + Quoted(folder) + " " + Quoted(folder + "/out.json")), 1);
    EXPECT_EQ(RunGenerator("--real-monitors " + Quoted(EDID_SAMPLES_DIR)), 2);
}

// Each sample becomes the monitor of its own output, in the order of the
// file names: its EDID value holds the sample's bytes unchanged (a block
// with a wrong checksum or a missing extension too), and its hardware
// identifier is the model the data set files it under (SOURCES.txt).
TEST(RealMonitorMachine, HoldsEverySampleUnderItsModelsIdentifier)
{
    std::vector<std::pair<std::string, std::string>> samples;  // file, model
    std::ifstream sources(std::string(EDID_SAMPLES_DIR) + "/SOURCES.txt");
    for (std::string line; std::getline(sources, line);) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos || tab < 4 || line.compare(tab - 4, 4, ".bin") != 0) {
            continue;
        }
        std::istringstream path(line.substr(tab + 1));
        std::string part;
        std::vector<std::string> parts;
        while (std::getline(path, part, '/')) {
            parts.push_back(part);
        }
        ASSERT_GE(parts.size(), 3u) << line;
        samples.emplace_back(line.substr(0, tab), parts[2]);
    }
    ASSERT_EQ(samples.size(), 150u);
    std::sort(samples.begin(), samples.end());

    const machine::Machine machine = machine::ReadDescriptionFile(REAL_MONITORS_FILE);
    ASSERT_EQ(machine.outputs.size(), samples.size());

    std::set<std::string> adapters;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const std::string& model = samples[i].second;
        const machine::Output& output = machine.outputs[i];
        adapters.insert(output.id);
        // The output's driver key, with what the plug-in reads of the adapter.
        const machine::RegistryKey* videoKey =
            machine.registry.Find(output.key.substr(std::string("\\Registry\\Machine\\").size()));
        EXPECT_TRUE(videoKey != nullptr &&
                    videoKey->Find("HardwareInformation.AdapterString") != nullptr)
            << "no driver key for " << output.name;
        ASSERT_EQ(output.monitors.size(), 1u) << samples[i].first;
        const std::string monitorId = output.monitors[0].id;
        EXPECT_EQ(monitorId.substr(0, monitorId.find('\\', 8)), "MONITOR\\" + model)
            << samples[i].first;

        // The monitor's device node, found by its hardware identifier and
        // its driver key, which the output's monitor names.
        const std::string driver = monitorId.substr(monitorId.find('\\', 8) + 1);
        const std::string enumKey = layout::kEnumKey;
        std::string instance;
        for (const machine::RegistryKey& key : machine.registry.Keys()) {
            const machine::RegistryValue* value = key.Find("Driver");
            if (value != nullptr && std::string(value->data.begin(), value->data.end() - 1) == driver) {
                instance = key.path.substr(enumKey.size());
            }
        }
        ASSERT_FALSE(instance.empty()) << samples[i].first << ": no device has driver " << driver;
        EXPECT_EQ(instance.substr(0, 8 + model.size() + 1), "DISPLAY\\" + model + "\\")
            << samples[i].first;
        const auto device = std::find_if(
            machine.devices.begin(), machine.devices.end(),
            [&instance](const machine::Device& d) { return d.instance == instance; });
        ASSERT_NE(device, machine.devices.end()) << instance;
        EXPECT_EQ(device->status, layout::Started().status) << instance << " is not started";
        EXPECT_EQ(device->hardware, machine::IdList{"MONITOR\\" + model});

        std::ifstream in(std::string(EDID_SAMPLES_DIR) + "/" + samples[i].first, std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                              std::istreambuf_iterator<char>());
        const machine::RegistryKey* parameters =
            machine.registry.Find(enumKey + instance + "\\Device Parameters");
        ASSERT_TRUE(parameters != nullptr && parameters->Find("EDID") != nullptr) << instance;
        EXPECT_TRUE(parameters->Find("EDID")->data == bytes)
            << samples[i].first << ": the EDID value is not the sample's bytes";
    }
    EXPECT_EQ(adapters.size(), (samples.size() + machinegen::kRealMonitorOutputsPerAdapter - 1) /
                                   machinegen::kRealMonitorOutputsPerAdapter);
}
