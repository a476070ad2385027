#include "devstatus/DeviceIdList.h"

#include <cstring>
#include <new>
#include <utility>

#include "collector/LogMessage.h"

namespace {

// Large enough for the identifier lists of nearly every device, so that one
// call per property is the common case.
constexpr DWORD kFirstTrySize = 9000;
// Room for two zero bytes after the data: a list stored without its final
// terminators still ends in an empty string.
constexpr DWORD kTerminatorRoom = 2;

const char* const kNoMemory = "Could not allocate memory.";

std::unique_ptr<char[]> AllocateListBuffer(DWORD dataSize)
{
    // Counted in size_t: a reported size near the 32-bit limit must not wrap
    // around to a tiny buffer.
    std::unique_ptr<char[]> buffer(
        new (std::nothrow) char[std::size_t{dataSize} + kTerminatorRoom]);
    if (!buffer) {
        LogMessage::getInstance()->logError(kNoMemory);
    }
    return buffer;
}

}  // namespace

std::optional<DeviceIdList> ReadDeviceIdList(HDEVINFO deviceInfoSet,
                                             SP_DEVINFO_DATA& deviceInfoData, DWORD property)
{
    DWORD bufferSize = kFirstTrySize;
    std::unique_ptr<char[]> buffer = AllocateListBuffer(bufferSize);
    if (!buffer) {
        return std::nullopt;
    }

    DWORD type = REG_NONE;
    DWORD requiredSize = 0;
    while (!SetupDiGetDeviceRegistryPropertyA(deviceInfoSet, &deviceInfoData, property, &type,
                                              reinterpret_cast<PBYTE>(buffer.get()), bufferSize,
                                              &requiredSize)) {
        // Only a list that is merely too long is worth a second, exactly sized call.
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || type != REG_MULTI_SZ) {
            return std::nullopt;
        }
        buffer.reset();
        bufferSize = requiredSize;
        buffer = AllocateListBuffer(bufferSize);
        if (!buffer) {
            return std::nullopt;
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
        LogMessage::getInstance()->logError(kNoMemory);
        return std::nullopt;
    }
    const char* entry = buffer.get();
    for (std::size_t i = 0; i < count; ++i) {
        entries[i] = entry;
        entry += lstrlenA(entry) + 1;
    }
    entries[count] = nullptr;

    return DeviceIdList{std::move(buffer), std::move(entries)};
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
