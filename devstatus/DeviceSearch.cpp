#include "devstatus/DeviceSearch.h"

#include <utility>

std::optional<DeviceIdList> ReadReportedDeviceIdList(HDEVINFO deviceInfoSet,
                                                     SP_DEVINFO_DATA& device, DWORD property,
                                                     const OutOfMemoryReport& outOfMemory)
{
    DeviceIdListRead read = ReadDeviceIdList(deviceInfoSet, device, property);
    if (read.outOfMemory && outOfMemory) {
        outOfMemory();
    }
    return std::move(read.list);
}

DeviceIdLists ReadDeviceIdLists(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA& device,
                                const OutOfMemoryReport& outOfMemory)
{
    DeviceIdLists lists;
    lists.hardware = ReadReportedDeviceIdList(deviceInfoSet, device, SPDRP_HARDWAREID, outOfMemory);
    lists.compatible =
        ReadReportedDeviceIdList(deviceInfoSet, device, SPDRP_COMPATIBLEIDS, outOfMemory);
    return lists;
}

bool IdListsMatch(const DeviceIdLists& lists, const char* pattern)
{
    return ListHasPrefix(lists.hardware, pattern) || ListHasPrefix(lists.compatible, pattern);
}

bool FindLastMatchingDevice(HDEVINFO deviceInfoSet, const char* pattern, SP_DEVINFO_DATA& match,
                            const OutOfMemoryReport& outOfMemory)
{
    bool found = false;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(SP_DEVINFO_DATA);
    for (DWORD index = 0; SetupDiEnumDeviceInfo(deviceInfoSet, index, &device); ++index) {
        if (IdListsMatch(ReadDeviceIdLists(deviceInfoSet, device, outOfMemory), pattern)) {
            // Keep looking: of several matching devices the last one counts.
            match = device;
            found = true;
        }
    }
    return found;
}
