#pragma once
#include <functional>
#include <optional>

#include "devstatus/DeviceIdList.h"
#include "platform/Win32.h"

// How a display device is found among the device installer's devices: both
// of a device's identifier lists are read, an identifier that begins with the
// pattern (ignoring case) matches, and of several matching devices the last
// one enumerated wins. The collectors, the capture of a machine and the
// benchmark floor all search this way.

// Both identifier lists of one device.
struct DeviceIdLists {
    std::optional<DeviceIdList> hardware;
    std::optional<DeviceIdList> compatible;
};

// Called once for each list that could not be read for lack of memory; that
// list is then absent.
using OutOfMemoryReport = std::function<void()>;

// One of a device's identifier lists (SPDRP_HARDWAREID or
// SPDRP_COMPATIBLEIDS), and both.
std::optional<DeviceIdList> ReadReportedDeviceIdList(HDEVINFO deviceInfoSet,
                                                     SP_DEVINFO_DATA& device, DWORD property,
                                                     const OutOfMemoryReport& outOfMemory);
DeviceIdLists ReadDeviceIdLists(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA& device,
                                const OutOfMemoryReport& outOfMemory);

// Whether an identifier of either list begins with pattern, ignoring case.
bool IdListsMatch(const DeviceIdLists& lists, const char* pattern);

// Walks every device of the set; true when one matched, with the last match
// in match.
bool FindLastMatchingDevice(HDEVINFO deviceInfoSet, const char* pattern, SP_DEVINFO_DATA& match,
                            const OutOfMemoryReport& outOfMemory);
