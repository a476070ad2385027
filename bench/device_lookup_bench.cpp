// Cost of one device lookup: every present device is enumerated and both of
// its identifier lists are read, with no caching between lookups.
#include <string>

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include "devstatus/DeviceStatus.h"
#include "platform/posix/MachineDescription.h"

namespace {

void LoadMachineWithDevices(int count)
{
    nlohmann::json devices = nlohmann::json::array();
    for (int i = 0; i < count; ++i) {
        std::string id = "PCI\\VEN_8086&DEV_" + std::to_string(1000 + i);
        devices.push_back({{"instanceId", id + "\\3&11583659&0&" + std::to_string(i)},
                           {"hardwareIds", {id + "&SUBSYS_00000000&REV_01", id}},
                           {"compatibleIds", {"PCI\\CC_0300", "PCI\\CC_03"}}});
    }
    displayplatform::LoadMachineJson(nlohmann::json{{"devices", devices}}.dump(), "benchmark");
}

void BM_GetDeviceStatus(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    LoadMachineWithDevices(count);
    TDeviceStatus status;
    // The last device: the lookup examines every device either way.
    std::string wanted = "PCI\\VEN_8086&DEV_" + std::to_string(1000 + count - 1);
    for (auto _ : state) {
        PropertyMap properties = status.GetDeviceStatus(wanted);
        benchmark::DoNotOptimize(properties);
    }
    state.SetItemsProcessed(state.iterations() * count);
    displayplatform::ResetMachine();
}
BENCHMARK(BM_GetDeviceStatus)->Arg(10)->Arg(100)->Arg(400);

}  // namespace
