// The benchmarks' floor makes exactly the platform calls that a request for
// the eight classes makes on the same machine, function by function, so that
// the request-to-floor ratio measures the plug-in's own work. A change to
// discovery that the floor does not follow shows here.
#include <string>
#include <utility>
#include <vector>

#include "bench/PlatformFloor.h"
#include "machine/DescriptionCodec.h"
#include "platform/posix/Diagnostics.h"
#include "platform/posix/MachineDescription.h"
#include "robustness/AllClassesRequest.h"
#include "tools/machinegen/BenchMachines.h"
#include "tools/machinegen/ExampleMachines.h"

namespace {

using PlatformFloor = AllClassesRequest;

TEST_F(PlatformFloor, MakesTheCallsOfARealRequest)
{
    machine::Machine withoutDeviceList = machinegen::Workstation();
    withoutDeviceList.faults.deviceListFails = true;
    machine::Machine withoutIds = machinegen::Laptop();
    for (machine::Output& output : withoutIds.outputs) {
        output.id.clear();
    }
    const std::vector<std::pair<std::string, machine::Machine>> machines = {
        {"workstation", machinegen::Workstation()},
        {"laptop", machinegen::Laptop()},
        {"no device list", withoutDeviceList},
        {"no adapter IDs", withoutIds},
        {"1 monitor, 3 devices", machinegen::GenerateMachine(1, 3)},
        {"16 monitors, 100 devices", machinegen::GenerateMachine(16, 100)},
        {"real monitors", machine::ReadDescriptionFile(REAL_MONITORS_FILE)},
    };
    for (const auto& m : machines) {
        SCOPED_TRACE(m.first);
        displayplatform::LoadMachineJson(machine::WriteDescription(m.second), m.first);
        displayplatform::ResetPlatformCallsOfThisThread();
        ASSERT_FALSE(Request().leftGetData);
        const displayplatform::PlatformCalls request = displayplatform::PlatformCallsOfThisThread();

        displayplatform::ResetPlatformCallsOfThisThread();
        RunPlatformFloor();
        EXPECT_EQ(displayplatform::PlatformCallsOfThisThread(), request);
    }
}

}  // namespace
