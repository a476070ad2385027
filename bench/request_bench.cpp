// One data request for all eight classes, in process: the stand-in host core
// and the plug-in's callback object, on generated machines of 1 to 64
// monitors and 100 to 10,000 present devices. Beside it, for the same
// machines, the floor: the platform calls alone that such a request makes.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

#include "machine/DescriptionCodec.h"
#include "tools/machinegen/BenchMachines.h"
#include "bench/PlatformFloor.h"
#include "kvtcore/DisplayClasses.h"
#include "kvtcore/HostControl.h"
#include "platform/posix/Diagnostics.h"
#include "platform/posix/MachineDescription.h"
#include "plugin/DisplayInfoCallbacks.h"
#include "collector/LogMessage.h"

namespace {

void LoadGeneratedMachine(int monitors, int devices)
{
    static std::map<std::pair<int, int>, std::string> descriptions;
    std::string& json = descriptions[std::make_pair(monitors, devices)];
    if (json.empty()) {
        json = machine::WriteDescription(machinegen::GenerateMachine(monitors, devices));
    }
    displayplatform::LoadMachineJson(json, "benchmark machine");
}

unsigned long PlatformCallTotal()
{
    unsigned long total = 0;
    for (const auto& call : displayplatform::PlatformCallsOfThisThread()) {
        total += call.second;
    }
    return total;
}

void SetCaseCounters(benchmark::State& state, int monitors, int devices)
{
    state.counters["monitors"] = monitors;
    state.counters["devices"] = devices;
    state.counters["per_monitor"] = benchmark::Counter(
        monitors, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

std::size_t CountOf(const std::map<std::string, std::size_t>& counts, const char* className)
{
    const auto found = counts.find(className);
    return found == counts.end() ? 0 : found->second;
}

// Whether the last request gave what the machine holds: a benchmark of a
// request that found nothing would measure nothing.
std::string CheckResult(NORNKVT20::IHostRequest& request, const machinegen::Shape& shape)
{
    std::map<std::string, std::size_t> counts;
    for (const auto& instance : request.GetCommittedInstances()) {
        ++counts[instance.className];
    }
    const auto adapters = static_cast<std::size_t>(shape.adapters);
    const auto outputs = static_cast<std::size_t>(shape.outputs);
    const auto monitors = static_cast<std::size_t>(shape.monitors);
    if (CountOf(counts, "ORNSG_VideoController") != adapters ||
        CountOf(counts, "ORNSG_VideoBios") != adapters ||
        CountOf(counts, "ORNSG_BiosOfVideoController") != adapters ||
        CountOf(counts, "ORNSG_VideoHead") != outputs ||
        CountOf(counts, "ORNSG_HeadOfVideoController") != outputs ||
        CountOf(counts, "ORNSG_DesktopMonitor") != monitors ||
        CountOf(counts, "ORNSG_MonitorResolution") == 0 ||
        CountOf(counts, "ORNSG_MonitorSetting") != CountOf(counts, "ORNSG_MonitorResolution")) {
        return "the request did not report the machine's hardware";
    }
    return std::string();
}

void BM_Request(benchmark::State& state)
{
    const int monitors = static_cast<int>(state.range(0));
    const int devices = static_cast<int>(state.range(1));
    NORNKVT20::IHostControl& host = *KvtGetHostControl();
    host.Reset();
    LoadGeneratedMachine(monitors, devices);

    // Registering opens the plug-in's logging gate, as when the host loads it.
    TDisplayInfoCallbacks* callbacks = new TDisplayInfoCallbacks();
    boost::shared_ptr<NORNKVT20::IHostRequest> request;

    for (auto _ : state) {
        // Each request is a new one, with an empty log; the host looks up
        // its classes before it calls.
        state.PauseTiming();
        host.Reset();
        request = host.CreateRequest();
        std::vector<boost::shared_ptr<NORNKVT20::ICIMClass> > classes;
        for (const char* name : kvtcore::kDisplayClasses) {
            classes.push_back(request->GetCIMNamespace()->GetClass(name, NORNKVT20::PropertyMap()));
        }
        state.ResumeTiming();
        callbacks->GetData(request->GetQueryContext(), classes);
    }
    const std::string error = CheckResult(*request, machinegen::ShapeOf(monitors, devices));
    if (!error.empty()) {
        state.SkipWithError(error.c_str());
    }
    state.counters["instances"] = static_cast<double>(request->GetCommittedInstances().size());
    SetCaseCounters(state, monitors, devices);

    callbacks->Destroy();
    LogMessage::setProvider(nullptr);
    displayplatform::ResetMachine();
    host.Reset();
}

void BM_Floor(benchmark::State& state)
{
    const int monitors = static_cast<int>(state.range(0));
    const int devices = static_cast<int>(state.range(1));
    LoadGeneratedMachine(monitors, devices);

    for (auto _ : state) {
        RunPlatformFloor();
    }
    displayplatform::ResetPlatformCallsOfThisThread();
    RunPlatformFloor();
    state.counters["platform_calls"] = static_cast<double>(PlatformCallTotal());
    SetCaseCounters(state, monitors, devices);
    displayplatform::ResetMachine();
}

void Cases(benchmark::internal::Benchmark* benchmark)
{
    benchmark->ArgNames({"monitors", "devices"})
        ->ArgsProduct({{1, 4, 16, 64}, {100, 1000, 10000}})
        ->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Request)->Apply(Cases);
BENCHMARK(BM_Floor)->Apply(Cases);

}  // namespace
