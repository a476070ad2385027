// Cost of one device lookup: every present device is enumerated and both of
// its identifier lists are read, with no caching between lookups.
#include <string>

#include <benchmark/benchmark.h>

#include "devstatus/DeviceStatus.h"
#include "layout/DeviceNodes.h"
#include "machine/DescriptionCodec.h"
#include "platform/posix/MachineDescription.h"

namespace {

void LoadMachineWithDevices(int count)
{
    machine::Machine machine;
    for (int i = 0; i < count; ++i) {
        std::string id = "PCI\\VEN_8086&DEV_" + std::to_string(1000 + i);
        machine.devices.push_back(layout::DeviceNode(id + "\\3&11583659&0&" + std::to_string(i),
                                                     {id + "&SUBSYS_00000000&REV_01", id},
                                                     {"PCI\\CC_0300", "PCI\\CC_03"}));
    }
    displayplatform::LoadMachineJson(machine::WriteDescription(machine), "benchmark");
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
