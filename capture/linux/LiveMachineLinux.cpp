#include "capture/linux/LiveMachineLinux.h"

#include <memory>

#include "capture/linux/LinuxLayout.h"

namespace capture {

namespace sysfs {

LiveMachine ReadLiveMachine(const LiveSources& sources)
{
    Problems problems;
    const std::vector<Card> cards = ReadInventory(sources, problems);
    LiveMachine live;
    live.machine = LayOutMachine(cards, sources.hostName, sources.zone, problems);
    live.problems = problems.List();
    return live;
}

}  // namespace sysfs

// The system below root with libdrm, libpci, the host name and the C
// library's zone.
LiveMachine ReadLiveMachine(const std::string& root)
{
    const std::unique_ptr<sysfs::IModeSource> modes = sysfs::MakeDrmModeSource();
    const std::unique_ptr<sysfs::IPciNames> names = sysfs::MakeLibpciNames();
    const std::unique_ptr<sysfs::IUsbNames> usbNames = sysfs::MakeUsbIdsNames();
    sysfs::LiveSources sources;
    sources.root = root;
    sources.modes = modes.get();
    sources.pciNames = names.get();
    sources.usbNames = usbNames.get();
    sources.hostName = sysfs::LocalComputerName(root);
    sources.zone = sysfs::LocalZoneOffsets();
    return sysfs::ReadLiveMachine(sources);
}

}  // namespace capture
