// Cost of pairing monitors with their resolutions: a full nested loop over
// the instances the host holds, two host calls per key read.
#include <string>

#include <benchmark/benchmark.h>

#include "collector/AssociationBuilder.h"
#include "kvtcore/HostControl.h"
#include "collector/LogMessage.h"

namespace {

using NORNKVT20::TCIMValue;

void CommitWithKey(NORNKVT20::IHostRequest& request, const std::string& className,
                   const std::string& key, const std::string& value)
{
    auto ns = request.GetCIMNamespace();
    auto instance = ns->GetClass(className, PropertyMap())->CreateInstance(PropertyMap());
    instance->SetPropertyValue(key, TCIMValue(value), PropertyMap());
    instance->Commit(PropertyMap());
}

void BM_MonitorSettings(benchmark::State& state)
{
    const int monitors = static_cast<int>(state.range(0));
    const int modesPerMonitor = 20;
    NORNKVT20::IHostControl* host = KvtGetHostControl();
    host->Reset();
    auto request = host->CreateRequest();
    for (int m = 0; m < monitors; ++m) {
        std::string id = "DISPLAY\\DEL40F2\\5&2B3C4D5E&0&UID" + std::to_string(4352 + m);
        CommitWithKey(*request, "ORNSG_DesktopMonitor", "DeviceID", id);
        for (int r = 1; r <= modesPerMonitor; ++r) {
            CommitWithKey(*request, "ORNSG_MonitorResolution", "SettingID",
                          id + "\\ Setting " + std::to_string(r));
        }
    }
    auto requested = request->GetCIMNamespace()->GetClass("ORNSG_MonitorSetting", PropertyMap());
    TAssociationParameters parameters = {"ORNSG_DesktopMonitor", "DeviceID", "ORNSG_MonitorResolution",
                             "SettingID", "Element", "Setting", "", PrefixRule};
    PropertyMap working;
    for (auto _ : state) {
        PropertyMapList maps =
            BuildAssociations(requested.get(), LogMessage::getInstance(), working, parameters);
        benchmark::DoNotOptimize(maps);
    }
    state.SetItemsProcessed(state.iterations() * monitors * monitors * modesPerMonitor);
    host->Reset();
}
BENCHMARK(BM_MonitorSettings)->Arg(1)->Arg(4)->Arg(16);

}  // namespace
