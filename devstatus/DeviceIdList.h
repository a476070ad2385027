#pragma once
#include <memory>
#include <optional>

#include "platform/Win32.h"

// The strings of one multi-string device registry property (hardware or
// compatible identifiers), in the order the property stores them.
struct DeviceIdList {
    // The raw property, ending in an empty string.
    std::unique_ptr<char[]> buffer;
    // Starts of the strings inside buffer, followed by a null entry.
    std::unique_ptr<const char*[]> entries;
};

// What one read of an identifier list gives.
struct DeviceIdListRead {
    // No value when the property is missing or unreadable, or memory ran out.
    std::optional<DeviceIdList> list;
    // Memory ran out; what to report of it is the caller's business.
    bool outOfMemory = false;
    // The SetupDiGetDeviceRegistryPropertyA calls made.
    unsigned propertyCalls = 0;
};

// Reads SPDRP_HARDWAREID or SPDRP_COMPATIBLEIDS of one device: a first offer
// of LookupRules::kIdListFirstOffer bytes, then exactly sized ones only while
// the property is a REG_MULTI_SZ that did not fit; any other failure means no
// list. The strings run up to the first empty one.
DeviceIdListRead ReadDeviceIdList(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA& deviceInfoData,
                                  DWORD property);

// Whether an entry begins with pattern, ignoring case. An absent list
// matches nothing; an empty pattern matches any entry.
bool ListHasPrefix(const std::optional<DeviceIdList>& list, const char* pattern);
