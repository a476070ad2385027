// libFuzzer target: reading a device's identifier list as the lookups do
// (ReadLoggedDeviceIdList over ReadDeviceIdList) and matching it
// (ListHasPrefix) over arbitrary multi-string bytes and sizes.
//
// The target links with --wrap for SetupDiGetDeviceRegistryPropertyA, so the
// property answers come from the input, one per call: each answer is one flag
// byte (bits 0-1: kind, see Kind; bit 2: REG_MULTI_SZ rather than REG_SZ; bit
// 3: the size counts down from 0xFFFFFFFF), the reported size and the byte
// count (2 bytes each, little-endian) and the bytes. Sizes are thus plausible
// or within 64 KiB of the 32-bit limit, where arithmetic on them wraps. Once
// the answers run out the property keeps the last one, answered as the device
// installer does, so the reader's retries come to an end.
//
// Checked: every buffer offered has room for its size and two terminators;
// the list is absent exactly when the last call failed for a reason other
// than a short buffer, or when memory ran out, which only an absurd size may
// cause and which logs "Could not allocate memory."; each entry is the
// non-empty string at its place in the bytes written, and the list ends at
// the first empty string.
#include <sanitizer/allocator_interface.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "devstatus/DeviceIdList.h"
#include "devstatus/DeviceStatus.h"
#include "host/Host.h"
#include "kvtcore/HostControl.h"
#include "collector/LogMessage.h"

// Allocations above 64 MiB fail (new (std::nothrow) gives null), so that
// absurd reported sizes take the reader's allocation-failure path.
extern "C" const char* __asan_default_options()
{
    return "allocator_may_return_null=1:max_allocation_size_mb=64";
}

namespace {

const std::size_t kAllocationLimit = std::size_t{64} << 20;
const std::size_t kTerminatorRoom = 2;
const char kFiller = 'F';  // where the reported size goes beyond the bytes given

enum class Kind : std::uint8_t {
    Sized = 0,       // as the device installer: too small a buffer fails, reporting the size
    Absent = 1,      // the device has no such property
    AlwaysFits = 2,  // succeeds whatever the buffer, writing what fits
    NeverFits = 3,   // fails as too small whatever the buffer
};

struct Answer {
    Kind kind = Kind::Absent;
    DWORD type = REG_NONE;
    DWORD reportedSize = 0;
    std::string bytes;
};

// The input's answers, and what the last call did.
std::vector<Answer> answers;
std::size_t callCount = 0;
struct {
    BOOL success = FALSE;
    DWORD error = ERROR_SUCCESS;
    DWORD type = REG_NONE;
    DWORD requiredSize = 0;
    std::string written;
} last;

}  // namespace

extern "C" BOOL __wrap_SetupDiGetDeviceRegistryPropertyA(HDEVINFO, PSP_DEVINFO_DATA, DWORD,
                                                         PDWORD PropertyRegDataType,
                                                         PBYTE PropertyBuffer,
                                                         DWORD PropertyBufferSize,
                                                         PDWORD RequiredSize)
{
    FUZZ_CHECK(PropertyBuffer != nullptr && __sanitizer_get_ownership(PropertyBuffer));
    FUZZ_CHECK(__sanitizer_get_allocated_size(PropertyBuffer) >=
               std::size_t{PropertyBufferSize} + kTerminatorRoom);

    Answer answer = answers.empty() ? Answer() : answers[std::min(callCount, answers.size() - 1)];
    if (callCount >= answers.size() && answer.kind != Kind::Absent) {
        answer.kind = Kind::Sized;
    }
    ++callCount;
    last = {};
    if (answer.kind == Kind::Absent) {
        last.error = ERROR_INVALID_DATA;
    } else {
        *PropertyRegDataType = last.type = answer.type;
        *RequiredSize = last.requiredSize = answer.reportedSize;
        last.success = answer.kind == Kind::AlwaysFits ||
                       (answer.kind == Kind::Sized && PropertyBufferSize >= answer.reportedSize);
        if (last.success) {
            const std::size_t length = std::min(answer.reportedSize, PropertyBufferSize);
            last.written = answer.bytes.substr(0, length);
            last.written.resize(length, kFiller);
            std::memcpy(PropertyBuffer, last.written.data(), length);
        } else {
            last.error = ERROR_INSUFFICIENT_BUFFER;
        }
    }
    SetLastError(last.error);
    return last.success;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    answers.clear();
    for (std::size_t at = 0; size - at >= 5;) {
        Answer answer;
        answer.kind = static_cast<Kind>(data[at] & 0x03);
        answer.type = (data[at] & 0x04) != 0 ? REG_MULTI_SZ : REG_SZ;
        const DWORD reported = data[at + 1] | data[at + 2] << 8;
        answer.reportedSize = (data[at] & 0x08) != 0 ? 0xFFFFFFFF - reported : reported;
        const std::size_t length =
            std::min<std::size_t>(data[at + 3] | data[at + 4] << 8, size - at - 5);
        answer.bytes.assign(reinterpret_cast<const char*>(data + at + 5), length);
        answers.push_back(answer);
        at += 5 + length;
    }

    static NORNKVT20::TPluginManagerProvider provider(nullptr, "fuzz");
    NORNKVT20::IHostControl* host = KvtGetHostControl();
    host->Reset();
    LogMessage::setProvider(&provider);
    callCount = 0;
    SP_DEVINFO_DATA record{};
    record.cbSize = sizeof record;
    const auto deviceInfoSet = reinterpret_cast<HDEVINFO>(std::uintptr_t{0x5E70});
    const std::optional<DeviceIdList> list =
        ReadLoggedDeviceIdList(deviceInfoSet, record, SPDRP_HARDWAREID);
    LogMessage::setProvider(nullptr);

    FUZZ_CHECK(callCount > 0);
    const bool shortBuffer = !last.success && last.error == ERROR_INSUFFICIENT_BUFFER &&
                             last.type == REG_MULTI_SZ;
    const auto log = host->GetLogLines();
    if (!log.empty()) {
        FUZZ_CHECK(log.size() == 1 && log[0].level == LogMessage::levelError &&
                   log[0].text == "Could not allocate memory.");
        FUZZ_CHECK(!list && shortBuffer &&
                   std::size_t{last.requiredSize} + kTerminatorRoom > kAllocationLimit);
    } else {
        FUZZ_CHECK(list.has_value() == last.success && !shortBuffer);
    }

    FUZZ_CHECK(ListHasPrefix(list, "") == (list && list->entries[0] != nullptr));
    if (!list) {
        return 0;
    }
    // The bytes as the reader sees them: what was written, then two zeros.
    const std::string bytes = last.written + std::string(kTerminatorRoom, '\0');
    std::size_t at = 0;
    std::size_t i = 0;
    for (; bytes[at] != '\0'; ++i) {
        const char* const entry = list->entries[i];
        FUZZ_CHECK(entry == list->buffer.get() + at);
        FUZZ_CHECK(std::strcmp(entry, bytes.c_str() + at) == 0);
        at += std::strlen(entry) + 1;
    }
    FUZZ_CHECK(list->entries[i] == nullptr);
    FUZZ_CHECK(i == 0 || ListHasPrefix(list, list->entries[i - 1]));
    return 0;
}
