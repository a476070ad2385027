// Requests of mixed classes on several threads at once, as a host may serve
// them: each request must give what the same request gives alone, and the
// heads of all of them together must hold distinct numbers with none
// skipped. The machine is process-wide and a request reads it throughout, so
// the machines take turns: load one, run the threads, compare, next.
#include <algorithm>
#include <atomic>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "kvtcore/DisplayClasses.h"
#include "machine/DescriptionCodec.h"
#include "platform/posix/MachineDescription.h"
#include "robustness/AllClassesRequest.h"
#include "tools/machinegen/BenchMachines.h"

namespace {

const unsigned kThreads = 4;

// Each list is one request. An association sees only the end instances its
// own request committed before it: none when it comes first.
const std::vector<std::vector<std::string> > kMixes = {
    std::vector<std::string>(std::begin(kvtcore::kDisplayClasses),
                             std::end(kvtcore::kDisplayClasses)),
    {"ORNSG_DesktopMonitor", "ORNSG_MonitorResolution", "ORNSG_MonitorSetting"},
    {"ORNSG_HeadOfVideoController", "ORNSG_VideoHead", "ORNSG_VideoController",
     "ORNSG_HeadOfVideoController"},
    {"ORNSG_VideoBios", "ORNSG_VideoController", "ORNSG_BiosOfVideoController",
     "ORNSG_MonitorSetting"},
    {"ORNSG_MonitorResolution", "ORNSG_VideoHead", "ORNSG_DesktopMonitor",
     "ORNSG_MonitorSetting"},
};

struct Phase {
    std::string name;
    std::string json;  // empty for the example machine of that name
    unsigned rounds;   // of all threads at once, each round at most 256 heads
    unsigned requestsPerThread;
};

std::vector<int> HeadNumbers(const std::vector<NORNKVT20::TInstanceSnapshot>& instances)
{
    std::vector<int> heads;
    for (const auto& instance : instances) {
        if (HeadNumber(instance) >= 0) {
            heads.push_back(HeadNumber(instance));
        }
    }
    return heads;
}

// Whether the heads hold the numbers of as many draws from the counter as
// there are heads, starting at first: up to 256 heads, every number once
// (none shared, none skipped); 256 k heads, every number k times.
::testing::AssertionResult ConsecutiveDraws(const std::vector<int>& heads, int first)
{
    std::vector<int> offsets, draws;
    for (int head : heads) {
        offsets.push_back((head - first + 256) % 256);
        draws.push_back(static_cast<int>(draws.size() % 256));
    }
    std::sort(offsets.begin(), offsets.end());
    std::sort(draws.begin(), draws.end());
    if (offsets != draws) {
        return ::testing::AssertionFailure()
               << "counted from " << first << ": " << ::testing::PrintToString(offsets);
    }
    return ::testing::AssertionSuccess();
}

// Runs body(t) on threads t = 0 .. kThreads-1, all let go at once.
void RunOnThreads(const std::function<void(unsigned)>& body)
{
    std::atomic<unsigned> ready{0};
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            ++ready;
            while (ready < kThreads) {
                std::this_thread::yield();
            }
            body(t);
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
}

class RequestStressTest : public AllClassesRequest {
protected:
    // The threads' requests, mix after mix, each thread starting at another
    // mix; records answers that differ from the expected ones and the head
    // numbers of all.
    void RunRound(const Phase& phase, const std::vector<std::vector<std::string> >& expected,
                  std::vector<std::string>& mismatches, std::vector<int>& heads)
    {
        std::vector<std::vector<std::string> > threadMismatches(kThreads);
        std::vector<std::vector<int> > threadHeads(kThreads);
        RunOnThreads([&](unsigned t) {
            for (unsigned i = 0; i < phase.requestsPerThread; ++i) {
                const std::size_t mix = (t + i) % kMixes.size();
                const auto answer = RequestClasses(Host(), *m_callbacks, kMixes[mix]);
                if (Describe(answer) != expected[mix]) {
                    threadMismatches[t].push_back("thread " + std::to_string(t) + ", request " +
                                                  std::to_string(i) + " (mix " +
                                                  std::to_string(mix) + ")");
                }
                const auto numbers = HeadNumbers(answer);
                threadHeads[t].insert(threadHeads[t].end(), numbers.begin(), numbers.end());
            }
        });
        for (unsigned t = 0; t < kThreads; ++t) {
            mismatches.insert(mismatches.end(), threadMismatches[t].begin(),
                              threadMismatches[t].end());
            heads.insert(heads.end(), threadHeads[t].begin(), threadHeads[t].end());
        }
    }
};

TEST_F(RequestStressTest, ConcurrentRequestsGiveTheSingleThreadedAnswers)
{
    // The large machine: 48 monitors on 20 outputs of 5 adapters, among
    // 2,000 devices. On the small ones most requests overlap.
    const std::vector<Phase> phases = {
        {"workstation", "", 8, 8},
        {"laptop", "", 8, 8},
        {"generated 48 monitors / 2000 devices", machine::WriteDescription(machinegen::GenerateMachine(48, 2000)), 1,
         2},
    };
    for (const Phase& phase : phases) {
        SCOPED_TRACE(phase.name);
        if (phase.json.empty()) {
            displayplatform::LoadMachineFile(EXAMPLES_DIR "/" + phase.name + ".json");
        } else {
            displayplatform::LoadMachineJson(phase.json, phase.name);
        }
        // The answers alone; the last head they number tells where the
        // threads' numbers begin.
        std::vector<std::vector<std::string> > expected;
        int nextHead = -1;
        for (const auto& mix : kMixes) {
            const auto answer = RequestClasses(Host(), *m_callbacks, mix);
            expected.push_back(Describe(answer));
            for (int head : HeadNumbers(answer)) {
                nextHead = (head + 1) % 256;
            }
        }
        ASSERT_GE(nextHead, 0);

        for (unsigned round = 0; round < phase.rounds; ++round) {
            SCOPED_TRACE("round " + std::to_string(round + 1));
            Host().Reset();  // the log of every request is kept; nobody reads it here
            std::vector<std::string> mismatches;
            std::vector<int> heads;
            RunRound(phase, expected, mismatches, heads);
            ASSERT_EQ(mismatches, std::vector<std::string>{})
                << "answers that differ from the lone ones";
            ASSERT_GT(heads.size(), kThreads);
            ASSERT_LE(heads.size(), 256u) << "numbers would repeat";
            ASSERT_TRUE(ConsecutiveDraws(heads, nextHead));
            nextHead = (nextHead + static_cast<int>(heads.size())) % 256;
        }
    }
}

// Head requests alone on a machine of many outputs and little else: one
// head after another with few host or platform calls between them, where
// numbers drawn at the same time on two threads would collide. Each request
// takes all 256 numbers, so every round starts where the one before did.
TEST_F(RequestStressTest, HeadsNumberedOnSeveralThreadsAtOnceAreConsecutiveDraws)
{
    machine::Machine outputs;
    for (int n = 1; n <= 256; ++n) {
        machine::Output output;
        output.name = "DISPLAY" + std::to_string(n);
        output.flags = 1;  // DISPLAY_DEVICE_ATTACHED_TO_DESKTOP
        output.id = "PCI";
        outputs.outputs.push_back(output);
    }
    displayplatform::LoadMachineJson(machine::WriteDescription(outputs), "outputs");
    const std::vector<std::string> heads = {"ORNSG_VideoHead"};
    const int first = (HeadNumbers(RequestClasses(Host(), *m_callbacks, heads)).back() + 1) % 256;

    for (int round = 1; round <= 100; ++round) {
        Host().Reset();
        std::vector<std::vector<int> > numbers(kThreads);
        RunOnThreads([&](unsigned t) {
            numbers[t] = HeadNumbers(RequestClasses(Host(), *m_callbacks, heads));
        });
        std::vector<int> all;
        for (const auto& list : numbers) {
            all.insert(all.end(), list.begin(), list.end());
        }
        ASSERT_EQ(all.size(), kThreads * 256u);
        ASSERT_TRUE(ConsecutiveDraws(all, first)) << "round " << round;
    }
}

}  // namespace
