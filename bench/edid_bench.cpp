// Cost of decoding one EDID block, over blocks of every monitor model the
// generated machines use: the parser alone (ParseEdid), and the collector's
// desktop-monitor properties (DecodeEDID) with the resolutions the block
// announces (DecodeResolutions), which parse it and log along the way.
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "machine/DescriptionCodec.h"
#include "tools/machinegen/BenchMachines.h"
#include "kvtcore/HostControl.h"
#include "monitor/EdidParser.h"
#include "monitor/MonitorInfo.h"
#include "platform/posix/MachineDescription.h"
#include "collector/LogMessage.h"

namespace {

// Reaches the working map, which a collector empties between monitors.
class TDecodingMonitorInfo : public TMonitorInfo {
public:
    using TMonitorInfo::TMonitorInfo;
    void ClearProperties() { m_properties.clear(); }
    std::size_t PropertyCount() const { return m_properties.size(); }
};

void BM_ParseEdid(benchmark::State& state)
{
    const std::vector<machinegen::EdidBlocks> blocks = machinegen::SampleEdids();
    std::size_t modes = 0;
    for (auto _ : state) {
        for (const machinegen::EdidBlocks& block : blocks) {
            edid::EdidInfo info = edid::ParseEdid(block.data(), block.size());
            if (!info.valid) {
                state.SkipWithError("a sample block was refused");
                break;
            }
            modes += info.modes.size();
            benchmark::DoNotOptimize(info);
        }
    }
    const double perIteration = static_cast<double>(blocks.size());
    state.counters["blocks"] = perIteration;
    state.counters["per_block"] = benchmark::Counter(
        perIteration, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["resolutions"] =
        static_cast<double>(modes) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ParseEdid);

NORNKVT20::TPluginManagerProvider& BenchProvider()
{
    static NORNKVT20::TPluginManagerProvider provider(nullptr, "benchmark");
    return provider;
}

void BM_DecodeEdid(benchmark::State& state)
{
    NORNKVT20::IHostControl* host = KvtGetHostControl();
    host->Reset();
    // The machine only supplies the time zone of the manufacturing dates.
    displayplatform::LoadMachineJson(machine::WriteDescription(machinegen::GenerateMachine(1, 10)), "benchmark");
    // Logging is on, as it is once the plug-in has registered.
    LogMessage::setProvider(&BenchProvider());

    const std::vector<machinegen::EdidBlocks> blocks = machinegen::SampleEdids();
    const auto request = host->CreateRequest();
    TDecodingMonitorInfo monitor(
        request->GetCIMNamespace()->GetClass("ORNSG_MonitorResolution", NORNKVT20::PropertyMap()));
    monitor.SetDeviceID("DISPLAY\\DEL1000\\5&2B3C4D5E&0&UID4353");

    std::size_t properties = 0;
    std::size_t resolutions = 0;
    for (auto _ : state) {
        for (const machinegen::EdidBlocks& edid : blocks) {
            monitor.ClearProperties();
            if (monitor.DecodeEDID(edid.data(), static_cast<DWORD>(edid.size())) != 0) {
                state.SkipWithError("a sample block was refused");
                break;
            }
            properties += monitor.PropertyCount();
            PropertyMapList modes =
                monitor.DecodeResolutions(edid.data(), static_cast<DWORD>(edid.size()));
            resolutions += modes.size();
            benchmark::DoNotOptimize(modes);
        }
        // The core logger keeps every line; dropping them is the host's cost.
        state.PauseTiming();
        host->Reset();
        state.ResumeTiming();
    }
    const double perIteration = static_cast<double>(blocks.size());
    state.counters["blocks"] = perIteration;
    state.counters["per_block"] = benchmark::Counter(
        perIteration, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["properties"] =
        static_cast<double>(properties) / static_cast<double>(state.iterations());
    state.counters["resolutions"] =
        static_cast<double>(resolutions) / static_cast<double>(state.iterations());

    LogMessage::setProvider(nullptr);
    displayplatform::ResetMachine();
    host->Reset();
}
BENCHMARK(BM_DecodeEdid);

}  // namespace
