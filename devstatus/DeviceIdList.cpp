#include "devstatus/DeviceIdList.h"

#include <cstring>
#include <new>
#include <utility>

#include "devstatus/LookupRules.h"

namespace {

std::unique_ptr<char[]> AllocateListBuffer(DWORD dataSize)
{
    // Counted in size_t: a reported size near the 32-bit limit must not wrap
    // around to a tiny buffer.
    return std::unique_ptr<char[]>(
        new (std::nothrow) char[std::size_t{dataSize} + LookupRules::kIdListTerminatorRoom]);
}

}  // namespace

DeviceIdListRead ReadDeviceIdList(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA& deviceInfoData,
                                  DWORD property)
{
    DeviceIdListRead read;
    DWORD bufferSize = LookupRules::kIdListFirstOffer;
    std::unique_ptr<char[]> buffer = AllocateListBuffer(bufferSize);
    if (!buffer) {
        read.outOfMemory = true;
        return read;
    }

    DWORD type = REG_NONE;
    DWORD requiredSize = 0;
    for (;;) {
        ++read.propertyCalls;
        if (SetupDiGetDeviceRegistryPropertyA(deviceInfoSet, &deviceInfoData, property, &type,
                                              reinterpret_cast<PBYTE>(buffer.get()), bufferSize,
                                              &requiredSize)) {
            break;
        }
        // Only a list that is merely too long is worth a second, exactly sized call.
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || type != REG_MULTI_SZ) {
            return read;
        }
        buffer.reset();
        bufferSize = requiredSize;
        buffer = AllocateListBuffer(bufferSize);
        if (!buffer) {
            read.outOfMemory = true;
            return read;
        }
    }

    // The data never exceeds the offered size; the bound only guards the writes.
    DWORD dataSize = requiredSize < bufferSize ? requiredSize : bufferSize;
    buffer[dataSize] = '\0';
    buffer[std::size_t{dataSize} + 1] = '\0';

    std::size_t count = 0;
    for (const char* entry = buffer.get(); *entry != '\0'; entry += lstrlenA(entry) + 1) {
        ++count;
    }
    std::unique_ptr<const char*[]> entries(new (std::nothrow) const char*[count + 1]);
    if (!entries) {
        read.outOfMemory = true;
        return read;
    }
    const char* entry = buffer.get();
    for (std::size_t i = 0; i < count; ++i) {
        entries[i] = entry;
        entry += lstrlenA(entry) + 1;
    }
    entries[count] = nullptr;

    read.list = DeviceIdList{std::move(buffer), std::move(entries)};
    return read;
}

bool ListHasPrefix(const std::optional<DeviceIdList>& list, const char* pattern)
{
    if (!list) {
        return false;
    }
    std::size_t length = std::strlen(pattern);
    for (const char* const* entry = list->entries.get(); *entry != nullptr; ++entry) {
        if (_strnicmp(*entry, pattern, length) == 0) {
            return true;
        }
    }
    return false;
}
