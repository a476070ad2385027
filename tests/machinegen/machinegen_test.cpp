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
#include <nlohmann/json.hpp>

#include "platform/posix/MachineDescription.h"
#include "tools/machinegen/BenchMachines.h"
#include "tools/machinegen/ExampleMachines.h"
#include "tools/machinegen/MachineText.h"
#include "tools/machinegen/RealMonitors.h"

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::set<std::string> JsonFilesIn(const std::string& folder)
{
    std::set<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.size() > 5 && name.compare(name.size() - 5, 5, ".json") == 0) {
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

std::vector<std::uint8_t> FromHex(const std::string& text)
{
    std::vector<std::uint8_t> bytes;
    std::istringstream in(text);
    unsigned byte = 0;
    while (in >> std::hex >> byte) {
        bytes.push_back(static_cast<std::uint8_t>(byte));
    }
    return bytes;
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
    for (const auto& file : machinegen::ExampleFiles()) {
        const nlohmann::json machine = nlohmann::json::parse(file.second);
        for (const auto& key : machine.at("registry").items()) {
            if (key.value().contains("EDID")) {
                ++exampleEdids;
                EXPECT_EQ(EdidFaults(FromHex(key.value()["EDID"]["hex"].get<std::string>())), "")
                    << file.first << ": " << key.key();
            }
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
        const nlohmann::json machine = machinegen::GenerateMachine(size[0], size[1]);
        const machinegen::Shape shape = machinegen::ShapeOf(size[0], size[1]);
        EXPECT_NO_THROW(displayplatform::LoadMachineJson(machine.dump(), "generated"))
            << size[0] << " monitors, " << size[1] << " devices";

        std::set<std::string> adapters;
        int monitors = 0;
        for (const auto& output : machine.at("displayDevices")) {
            adapters.insert(output.at("deviceID").get<std::string>());
            monitors += static_cast<int>(output.at("monitors").size());
        }
        EXPECT_EQ(monitors, shape.monitors);
        EXPECT_EQ(static_cast<int>(machine.at("displayDevices").size()), shape.outputs);
        EXPECT_EQ(static_cast<int>(adapters.size()), shape.adapters);
        EXPECT_EQ(static_cast<int>(machine.at("devices").size()), shape.devices);
    }
    displayplatform::ResetMachine();
    EXPECT_THROW(machinegen::GenerateMachine(4, 4), std::invalid_argument);
}

// The layout of the examples is still JSON that reads back as written:
// characters beyond ASCII stay as they are, control characters and quotes
// are escaped, and objects of every size keep their keys in order.
TEST(MachineText, ReadsBackAsTheSameValue)
{
    const machinegen::Json value = {
        {"name", "Bildschirm \xc3\xa4 \"1\"\\\x01\t"},
        {"z", {{"b", 1}, {"a", -2}, {"list", machinegen::Json::array()}}},
        {"seven", {{"g", 1}, {"f", 2}, {"e", 3}, {"d", 4}, {"c", 5}, {"b", 6}, {"a", 7}}},
        {"empty", machinegen::Json::object()},
        {"mixed", {1, "two", {{"three", 3}}}}};
    const std::string text = machinegen::MachineText(value);
    EXPECT_EQ(machinegen::Json::parse(text), value) << text;
    EXPECT_NE(text.find("Bildschirm \xc3\xa4 \\\"1\\\"\\\\\\u0001\\t"), std::string::npos) << text;
    EXPECT_EQ(text.back(), '\n');
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

    const std::string text = ReadFile(REAL_MONITORS_FILE);
    ASSERT_FALSE(text.empty()) << REAL_MONITORS_FILE;
    EXPECT_NO_THROW(displayplatform::LoadMachineJson(text, "real monitors"));
    displayplatform::ResetMachine();
    const nlohmann::json machine = nlohmann::json::parse(text);
    const nlohmann::json& outputs = machine.at("displayDevices");
    const nlohmann::json& registry = machine.at("registry");
    ASSERT_EQ(outputs.size(), samples.size());

    std::set<std::string> adapters;
    std::set<std::string> present;
    for (const auto& device : machine.at("devices")) {
        if (device.at("status") == machinegen::kStarted) {
            present.insert(device.at("instanceId").get<std::string>());
        }
    }
    const std::string enumKey = machinegen::kEnumKey;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const std::string& model = samples[i].second;
        const nlohmann::json& output = outputs[i];
        adapters.insert(output.at("deviceID").get<std::string>());
        // The output's driver key, with what the plug-in reads of the adapter.
        const std::string videoKey = output.at("deviceKey").get<std::string>().substr(
            std::string("\\Registry\\Machine\\").size());
        EXPECT_TRUE(registry.contains(videoKey) &&
                    registry[videoKey].contains("HardwareInformation.AdapterString"))
            << "no driver key for " << output.at("deviceName");
        ASSERT_EQ(output.at("monitors").size(), 1u) << samples[i].first;
        const std::string monitorId = output["monitors"][0].at("deviceID").get<std::string>();
        EXPECT_EQ(monitorId.substr(0, monitorId.find('\\', 8)), "MONITOR\\" + model)
            << samples[i].first;

        // The monitor's device node, found by its hardware identifier and
        // its driver key, which the output's monitor names.
        const std::string driver = monitorId.substr(monitorId.find('\\', 8) + 1);
        std::string instance;
        for (const auto& key : registry.items()) {
            if (key.value().contains("Driver") &&
                key.value()["Driver"]["string"].get<std::string>() == driver) {
                instance = key.key().substr(enumKey.size());
            }
        }
        ASSERT_FALSE(instance.empty()) << samples[i].first << ": no device has driver " << driver;
        EXPECT_EQ(instance.substr(0, 8 + model.size() + 1), "DISPLAY\\" + model + "\\")
            << samples[i].first;
        EXPECT_EQ(present.count(instance), 1u) << instance << " is not a started device";
        const nlohmann::json& key = registry.at(enumKey + instance);
        EXPECT_EQ(key.at("HardwareID").at("strings"), nlohmann::json::array({"MONITOR\\" + model}));
        EXPECT_TRUE(key.contains("DeviceDesc")) << instance;

        std::ifstream in(std::string(EDID_SAMPLES_DIR) + "/" + samples[i].first, std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                              std::istreambuf_iterator<char>());
        const std::string parameters = enumKey + instance + "\\Device Parameters";
        ASSERT_TRUE(registry.contains(parameters)) << parameters;
        EXPECT_TRUE(FromHex(registry[parameters]["EDID"]["hex"].get<std::string>()) == bytes)
            << samples[i].first << ": the EDID value is not the sample's bytes";
    }
    EXPECT_EQ(adapters.size(), (samples.size() + machinegen::kRealMonitorOutputsPerAdapter - 1) /
                                   machinegen::kRealMonitorOutputsPerAdapter);
}
