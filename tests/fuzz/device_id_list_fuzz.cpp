// libFuzzer target: reading a device's hardware or compatible identifiers
// (ReadDeviceIdList) and matching them (ListHasPrefix) over arbitrary
// multi-string bytes and reported sizes.
//
// The target links with --wrap for SetupDiGetDeviceRegistryPropertyA, so the
// property answers come from the input: one answer per call, in order, each
// with its own type, reported size and bytes. The sizes may disagree with the
// bytes and with the offered buffer, and may change between calls, as when a
// device's identifiers change while they are read. Once the answers run out
// the property keeps the last one, answered as the device installer does.
//
// Input: a control byte (bit 0: compatible rather than hardware identifiers),
// a pattern length and the pattern, then the answers, each one flag byte
// (bits 0-1: kind, see Kind; bit 2: REG_MULTI_SZ rather than REG_SZ; bit 3:
// the size counts down from 0xFFFFFFFF), the reported size (2 bytes,
// little-endian), the byte count (2 bytes, little-endian) and the bytes.
// Sizes are thus either plausible or within 64 KiB of the 32-bit limit,
// where arithmetic on them wraps; those in between would only make the
// target slow.
//
// Checked: the reader never hands the property call a buffer smaller than the
// size it gives with it, plus the two bytes it keeps for terminators; every
// list it returns holds exactly the strings of the bytes it was given, up to
// the first empty one, with the pointer array ended by null; lists are absent
// exactly when the property cannot be read; a failed allocation, and only
// that, logs "Could not allocate memory."; the prefix test matches exactly
// the lists that have an entry beginning with the pattern, ignoring ASCII case.
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
#include "host/Host.h"
#include "kvtcore/HostControl.h"
#include "plugin/LogMessage.h"

// Allocations above kAllocationLimit fail (new (std::nothrow) gives null), so
// that absurd reported sizes take the reader's allocation-failure path
// instead of ending the run.
extern "C" const char* __asan_default_options()
{
    return "allocator_may_return_null=1:max_allocation_size_mb=64";
}

namespace {

const std::size_t kAllocationLimit = std::size_t{64} << 20;
// What the reader offers first, and the room it keeps after the data.
const DWORD kFirstTrySize = 9000;
const std::size_t kTerminatorRoom = 2;
// Fills the part of a reported size that the answer's bytes do not cover.
const char kFiller = 'F';

const auto kDeviceInfoSet = reinterpret_cast<HDEVINFO>(static_cast<std::uintptr_t>(0x5E70));

enum class Kind : std::uint8_t {
    Sized = 0,         // as the device installer: too small a buffer fails, reporting the size
    Absent = 1,        // the device has no such property
    AlwaysFits = 2,    // succeeds whatever the buffer, writing what fits
    NeverFits = 3,     // fails as too small whatever the buffer
};

struct Answer {
    Kind kind = Kind::Absent;
    DWORD type = REG_NONE;
    DWORD reportedSize = 0;
    std::string bytes;
};

// The outcome of one property call.
struct Outcome {
    BOOL success = FALSE;
    DWORD error = ERROR_SUCCESS;
    bool reports = false;  // type and required size are set
    DWORD type = REG_NONE;
    DWORD requiredSize = 0;
    std::string written;  // the bytes written into the buffer
};

struct Script {
    DWORD property = SPDRP_HARDWAREID;
    std::vector<Answer> answers;
};

Outcome Respond(const Script& script, std::size_t call, DWORD bufferSize)
{
    Outcome outcome;
    Answer answer;
    if (call < script.answers.size()) {
        answer = script.answers[call];
    } else if (!script.answers.empty()) {
        // The property has settled on the last answer.
        answer = script.answers.back();
        if (answer.kind != Kind::Absent) {
            answer.kind = Kind::Sized;
        }
    }
    if (answer.kind == Kind::Absent) {
        outcome.error = ERROR_INVALID_DATA;
        return outcome;
    }
    outcome.reports = true;
    outcome.type = answer.type;
    outcome.requiredSize = answer.reportedSize;
    const bool fits = answer.kind == Kind::AlwaysFits ||
                      (answer.kind == Kind::Sized && bufferSize >= answer.reportedSize);
    if (!fits) {
        outcome.error = ERROR_INSUFFICIENT_BUFFER;
        return outcome;
    }
    outcome.success = TRUE;
    const std::size_t length = std::min(answer.reportedSize, bufferSize);
    outcome.written = answer.bytes.substr(0, length);
    outcome.written.resize(length, kFiller);
    return outcome;
}

// The run being fuzzed, for the wrapped property call.
const Script* currentScript = nullptr;
SP_DEVINFO_DATA* currentRecord = nullptr;
std::size_t callCount = 0;

// What the reader should return, worked out from the script alone.
struct Expected {
    bool present = false;
    bool allocationFailed = false;
    std::string data;  // the bytes the list was read from
};

Expected Predict(const Script& script)
{
    Expected expected;
    DWORD bufferSize = kFirstTrySize;
    DWORD type = REG_NONE;
    for (std::size_t call = 0;; ++call) {
        const Outcome outcome = Respond(script, call, bufferSize);
        if (outcome.reports) {
            type = outcome.type;
        }
        if (outcome.success) {
            expected.present = true;
            expected.data = outcome.written;
            return expected;
        }
        if (outcome.error != ERROR_INSUFFICIENT_BUFFER || type != REG_MULTI_SZ) {
            return expected;
        }
        bufferSize = outcome.requiredSize;
        if (std::size_t{bufferSize} + kTerminatorRoom > kAllocationLimit) {
            expected.allocationFailed = true;
            return expected;
        }
    }
}

// The strings of a multi-string up to its first empty one; the data is read
// as if followed by two zero bytes.
std::vector<std::size_t> StringStarts(const std::string& data)
{
    const std::string terminated = data + std::string(kTerminatorRoom, '\0');
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; terminated[at] != '\0'; at = terminated.find('\0', at) + 1) {
        starts.push_back(at);
    }
    return starts;
}

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithIgnoringCase(const char* text, const std::string& pattern)
{
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (text[i] == '\0' || LowerAscii(text[i]) != LowerAscii(pattern[i])) {
            return false;
        }
    }
    return true;
}

std::uint32_t LittleEndian(const std::uint8_t* bytes, std::size_t count)
{
    std::uint32_t value = 0;
    for (std::size_t i = count; i > 0; --i) {
        value = (value << 8) | bytes[i - 1];
    }
    return value;
}

Script ParseScript(const std::uint8_t* data, std::size_t size, std::string& pattern)
{
    Script script;
    script.property = (data[0] & 0x01) != 0 ? SPDRP_COMPATIBLEIDS : SPDRP_HARDWAREID;
    std::size_t at = 2;
    const std::size_t patternLength = std::min<std::size_t>(data[1], size - at);
    pattern.assign(reinterpret_cast<const char*>(data + at), patternLength);
    pattern = pattern.c_str();  // the matcher sees a C string
    at += patternLength;
    const std::size_t kAnswerHeader = 5;
    while (size - at >= kAnswerHeader) {
        Answer answer;
        answer.kind = static_cast<Kind>(data[at] & 0x03);
        answer.type = (data[at] & 0x04) != 0 ? REG_MULTI_SZ : REG_SZ;
        answer.reportedSize = LittleEndian(data + at + 1, 2);
        if ((data[at] & 0x08) != 0) {
            answer.reportedSize = 0xFFFFFFFF - answer.reportedSize;
        }
        const std::size_t length = std::min<std::size_t>(LittleEndian(data + at + 3, 2),
                                                         size - at - kAnswerHeader);
        at += kAnswerHeader;
        answer.bytes.assign(reinterpret_cast<const char*>(data + at), length);
        at += length;
        script.answers.push_back(answer);
    }
    return script;
}

NORNKVT20::TPluginManagerProvider& FuzzProvider()
{
    static NORNKVT20::TPluginManagerProvider provider(nullptr, "fuzz");
    return provider;
}

}  // namespace

// The property call as the script answers it.
extern "C" BOOL __wrap_SetupDiGetDeviceRegistryPropertyA(HDEVINFO DeviceInfoSet,
                                                         PSP_DEVINFO_DATA DeviceInfoData,
                                                         DWORD Property,
                                                         PDWORD PropertyRegDataType,
                                                         PBYTE PropertyBuffer,
                                                         DWORD PropertyBufferSize,
                                                         PDWORD RequiredSize)
{
    FUZZ_CHECK(currentScript != nullptr);
    FUZZ_CHECK(DeviceInfoSet == kDeviceInfoSet);
    FUZZ_CHECK(DeviceInfoData == currentRecord);
    FUZZ_CHECK(Property == currentScript->property);
    FUZZ_CHECK(PropertyRegDataType != nullptr && RequiredSize != nullptr);
    FUZZ_CHECK(PropertyBuffer != nullptr);
    // The buffer is a heap block of its own, with room for the size offered
    // and for the two terminators the reader adds after the data.
    FUZZ_CHECK(__sanitizer_get_ownership(PropertyBuffer));
    FUZZ_CHECK(__sanitizer_get_allocated_size(PropertyBuffer) >=
               std::size_t{PropertyBufferSize} + kTerminatorRoom);

    const Outcome outcome = Respond(*currentScript, callCount++, PropertyBufferSize);
    if (outcome.reports) {
        *PropertyRegDataType = outcome.type;
        *RequiredSize = outcome.requiredSize;
    }
    std::memcpy(PropertyBuffer, outcome.written.data(), outcome.written.size());
    SetLastError(outcome.success ? ERROR_SUCCESS : outcome.error);
    return outcome.success;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) {
        return 0;
    }
    std::string pattern;
    const Script script = ParseScript(data, size, pattern);
    const Expected expected = Predict(script);

    NORNKVT20::IHostControl* host = KvtGetHostControl();
    host->Reset();
    LogMessage::setProvider(&FuzzProvider());

    SP_DEVINFO_DATA record{};
    record.cbSize = sizeof record;
    currentScript = &script;
    currentRecord = &record;
    callCount = 0;
    const std::optional<DeviceIdList> list =
        ReadDeviceIdList(kDeviceInfoSet, record, script.property);
    currentScript = nullptr;
    currentRecord = nullptr;

    const auto log = host->GetLogLines();
    if (expected.allocationFailed) {
        FUZZ_CHECK(log.size() == 1);
        FUZZ_CHECK(log[0].level == LogMessage::levelError);
        FUZZ_CHECK(log[0].text == "Could not allocate memory.");
    } else {
        FUZZ_CHECK(log.empty());
    }

    FUZZ_CHECK(list.has_value() == expected.present);
    bool expectMatch = false;
    if (list) {
        const char* const buffer = list->buffer.get();
        const std::string terminated = expected.data + std::string(kTerminatorRoom, '\0');
        const std::vector<std::size_t> starts = StringStarts(expected.data);
        for (std::size_t i = 0; i < starts.size(); ++i) {
            const char* entry = list->entries[i];
            FUZZ_CHECK(entry == buffer + starts[i]);
            const std::size_t end = terminated.find('\0', starts[i]);
            FUZZ_CHECK(std::string(entry) == terminated.substr(starts[i], end - starts[i]));
            expectMatch = expectMatch || StartsWithIgnoringCase(entry, pattern);
        }
        FUZZ_CHECK(list->entries[starts.size()] == nullptr);
    }
    FUZZ_CHECK(ListHasPrefix(list, pattern.c_str()) == expectMatch);

    LogMessage::setProvider(nullptr);
    return 0;
}
