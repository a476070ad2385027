// Requests made one after another in one process: each answer is the first
// one again, apart from the head numbers, which go on counting.
#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "capture/LiveMachine.h"
#include "kvtcore/DisplayClasses.h"
#include "machine/DescriptionCodec.h"
#include "platform/posix/MachineDescription.h"
#include "robustness/AllClassesRequest.h"

namespace {

struct NamedMachine {
    std::string name;
    std::string file;  // a machine description, or else
    std::string json;  // the description the live reader made of a fixture tree

    void Load() const
    {
        if (!file.empty()) {
            displayplatform::LoadMachineFile(file);
        } else {
            displayplatform::LoadMachineJson(json, name);
        }
    }
};

std::vector<std::filesystem::path> Sorted(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> entries(std::filesystem::directory_iterator(folder), {});
    std::sort(entries.begin(), entries.end());
    return entries;
}

// Every example machine, the machine of real monitors and every sysfs
// fixture tree as the live reader reads it.
std::vector<NamedMachine> AllMachines()
{
    std::vector<NamedMachine> machines;
    for (const char* folder : {EXAMPLES_DIR, MACHINES_DIR}) {
        for (const auto& path : Sorted(folder)) {
            // The examples' folder also holds the format's JSON Schema.
            if (path.extension() == ".json" && path.stem().extension() != ".schema") {
                machines.push_back({path.filename().string(), path.string(), ""});
            }
        }
    }
    for (const auto& path : Sorted(SYSFS_FIXTURES_DIR)) {
        if (std::filesystem::is_directory(path)) {
            const auto live = capture::ReadLiveMachine(path.string());
            machines.push_back({"sysfs-" + path.filename().string(), "",
                                machine::WriteDescription(live.machine)});
        }
    }
    return machines;
}

using RepeatedRequestsTest = AllClassesRequest;

TEST_F(RepeatedRequestsTest, ThreeRequestsInARowGiveTheSameAnswerOnEveryMachine)
{
    const std::vector<std::string> classes(std::begin(kvtcore::kDisplayClasses),
                                           std::end(kvtcore::kDisplayClasses));
    const std::vector<NamedMachine> machines = AllMachines();
    ASSERT_GE(machines.size(), 8u);
    for (const NamedMachine& machine : machines) {
        SCOPED_TRACE(machine.name);
        machine.Load();
        std::vector<std::vector<NORNKVT20::TInstanceSnapshot> > answers;
        std::vector<std::vector<std::string> > logs;
        for (int i = 0; i < 3; ++i) {
            Host().Reset();  // the log lines of the request before
            answers.push_back(RequestClasses(Host(), *m_callbacks, classes));
            logs.push_back(Show(Log()));
        }
        std::vector<int> heads[3];
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(Describe(answers[i]), Describe(answers[0])) << "request " << i + 1;
            EXPECT_EQ(logs[i], logs[0]) << "request " << i + 1;
            for (const auto& instance : answers[i]) {
                if (HeadNumber(instance) >= 0) {
                    heads[i].push_back(HeadNumber(instance));
                }
            }
        }
        // Each request numbers its heads on from where the one before stopped.
        for (int i = 1; i < 3; ++i) {
            std::vector<int> expected;
            for (int head : heads[i - 1]) {
                expected.push_back((head + static_cast<int>(heads[0].size())) % 256);
            }
            EXPECT_EQ(heads[i], expected) << "request " << i + 1;
        }
    }
}

}  // namespace
