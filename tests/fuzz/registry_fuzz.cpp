// libFuzzer target: the registry reader over arbitrary registry values.
//
// Input: a control byte, the value's type code (4 bytes, little-endian), the
// buffer size the caller offers (2 bytes, little-endian), then the value's
// bytes. The value is put straight into the machine's registry, so any type
// code and any bytes are possible. The target makes the reader's three reads
// and checks them against what the reader promises: which type each read
// accepts, what it returns and in which size, that a value larger than the
// offer fails with one logged registry error and a type mismatch logs nothing,
// that failures leave the outputs alone, and that no read touches memory
// outside the caller's buffer (AddressSanitizer checks the reader's own
// buffers; the caller's buffer is a heap block of exactly the offered size).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "collector/RegistryReader.h"
#include "host/Host.h"
#include "kvtcore/HostControl.h"
#include "platform/posix/Machine.h"
#include "plugin/LogMessage.h"

namespace {

namespace platform = displayplatform::detail;

// Control bits.
const std::uint8_t kReadMissingValue = 0x01;  // ask for a value name the key lacks
const std::uint8_t kLeaveClosed = 0x02;       // read without opening the key
const std::uint8_t kOpenAbsentKey = 0x04;     // read after failing to open a key

const std::size_t kHeaderSize = 7;
const char* const kKeyPath = "SYSTEM\\CurrentControlSet\\Control\\Fuzz";
const char* const kValueName = "Value";
const BYTE kCanary = 0xA5;

NORNKVT20::TPluginManagerProvider& FuzzProvider()
{
    static NORNKVT20::TPluginManagerProvider provider(nullptr, "fuzz");
    return provider;
}

// Lines logged since the host was last reset.
std::size_t LogLineCount()
{
    return KvtGetHostControl()->GetLogLines().size();
}

DWORD LittleEndian(const std::uint8_t* bytes, std::size_t count)
{
    DWORD value = 0;
    for (std::size_t i = count; i > 0; --i) {
        value = (value << 8) | bytes[i - 1];
    }
    return value;
}

struct Case {
    DWORD type;
    DWORD offered;
    std::vector<BYTE> data;
    bool readable;  // the registry call succeeds: key open, value there, offer large enough
};

void CheckReadBinary(TRegistryReader& reader, const std::string& name, const Case& c)
{
    // Exactly the offered size, so that AddressSanitizer sees any access past it.
    std::unique_ptr<BYTE[]> buffer(new BYTE[c.offered]);
    std::fill(buffer.get(), buffer.get() + c.offered, kCanary);
    DWORD size = c.offered;
    const std::size_t logged = LogLineCount();

    const int result = reader.readBinary(name, buffer.get(), &size);

    const bool accepted = c.readable && c.type == REG_BINARY;
    FUZZ_CHECK(result == (accepted ? 0 : 1));
    FUZZ_CHECK(LogLineCount() - logged == (c.readable ? 0u : 1u));
    if (accepted) {
        FUZZ_CHECK(size == c.data.size());
        FUZZ_CHECK(std::equal(c.data.begin(), c.data.end(), buffer.get()));
    } else {
        FUZZ_CHECK(size == c.offered);
    }
    // Nothing is written past the data, and nothing at all when the call failed.
    const std::size_t written = c.readable ? c.data.size() : 0;
    FUZZ_CHECK(std::all_of(buffer.get() + written, buffer.get() + c.offered,
                           [](BYTE b) { return b == kCanary; }));
}

void CheckReadBinaryNumber(TRegistryReader& reader, const std::string& name, const Case& c)
{
    const DWORD untouched = 0xDEADBEEF;
    DWORD value = untouched;
    DWORD size = c.offered;
    const std::size_t logged = LogLineCount();

    const int result = reader.readBinaryNumber(name, &value, &size);

    const bool accepted = c.readable && c.type == REG_BINARY;
    FUZZ_CHECK(result == (accepted ? 0 : 1));
    FUZZ_CHECK(LogLineCount() - logged == (c.readable ? 0u : 1u));
    if (accepted) {
        // Little-endian over at most the first four bytes.
        const std::size_t counted = std::min<std::size_t>(c.data.size(), 4);
        FUZZ_CHECK(value == LittleEndian(c.data.data(), counted));
        FUZZ_CHECK(size == c.data.size());
    } else {
        FUZZ_CHECK(value == untouched);
        FUZZ_CHECK(size == c.offered);
    }
}

void CheckReadString(TRegistryReader& reader, const std::string& name, const Case& c)
{
    std::string value = "left over from an earlier read";
    DWORD size = c.offered;
    const std::size_t logged = LogLineCount();

    const int result = reader.readString(name, value, &size);

    FUZZ_CHECK(result == (c.readable ? 0 : 1));
    FUZZ_CHECK(LogLineCount() - logged == (c.readable ? 0u : 1u));
    if (!c.readable) {
        FUZZ_CHECK(value.empty());
        FUZZ_CHECK(size == c.offered);
        return;
    }
    FUZZ_CHECK(size == c.data.size());
    std::string expected;
    if (c.type == REG_SZ) {
        expected.assign(c.data.begin(), std::find(c.data.begin(), c.data.end(), BYTE{0}));
    } else if (c.type == REG_BINARY) {
        std::remove_copy(c.data.begin(), c.data.end(), std::back_inserter(expected), BYTE{0});
    }
    FUZZ_CHECK(value == expected);
    FUZZ_CHECK(value.find('\0') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kHeaderSize) {
        return 0;
    }
    const std::uint8_t control = data[0];
    Case c;
    c.type = LittleEndian(data + 1, 4);
    c.offered = LittleEndian(data + 5, 2);
    c.data.assign(data + kHeaderSize, data + size);

    auto machine = std::make_shared<platform::Machine>();
    machine->registry.AddKey(kKeyPath, {platform::RegistryValue{kValueName, c.type, c.data}});
    platform::ReplaceMachine(machine);

    NORNKVT20::IHostControl* host = KvtGetHostControl();
    host->Reset();
    LogMessage::setProvider(&FuzzProvider());

    const bool missing = (control & kReadMissingValue) != 0;
    const bool absentKey = (control & kOpenAbsentKey) != 0;
    const bool closed = (control & kLeaveClosed) != 0 || absentKey;
    c.readable = !missing && !closed && c.data.size() <= c.offered;
    const std::string name = missing ? "Other" : kValueName;
    {
        TRegistryReader reader;
        if (absentKey) {
            // Fails with one logged error and leaves the reader closed.
            FUZZ_CHECK(reader.open("SYSTEM\\Absent") == 1);
            FUZZ_CHECK(LogLineCount() == 1);
        } else if (!closed) {
            FUZZ_CHECK(reader.open(kKeyPath) == 0);
        }
        CheckReadBinary(reader, name, c);
        CheckReadBinaryNumber(reader, name, c);
        CheckReadString(reader, name, c);
    }
    // The reader closes the key it opened.
    FUZZ_CHECK(platform::CountRegistryKeys() == 0);

    LogMessage::setProvider(nullptr);
    platform::ReplaceMachine(std::make_shared<const platform::Machine>());
    return 0;
}
