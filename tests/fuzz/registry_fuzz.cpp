// libFuzzer target: the registry reader over arbitrary registry values.
//
// Input: a control byte, the value's type code (4 bytes, little-endian), the
// buffer size the caller offers (2 bytes, little-endian), then the value's
// bytes, put straight into the machine's registry. The caller's buffer is a
// heap block of exactly the offered size, so AddressSanitizer sees any access
// past it. Checked: which reads succeed for which type, offer and key; a
// failed registry call logs one line and a type mismatch none; failures leave
// the outputs alone; text holds no zero character; the key is closed after.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "FuzzCheck.h"
#include "collector/RegistryReader.h"
#include "host/Host.h"
#include "kvtcore/HostControl.h"
#include "platform/posix/Machine.h"
#include "collector/LogMessage.h"

namespace {

namespace platform = displayplatform::detail;

// Control bits.
const std::uint8_t kReadMissingValue = 0x01;  // ask for a value name the key lacks
const std::uint8_t kLeaveClosed = 0x02;       // read without opening the key
const std::uint8_t kOpenAbsentKey = 0x04;     // read after failing to open a key

const std::size_t kHeaderSize = 7;
const char* const kKeyPath = "SYSTEM\\CurrentControlSet\\Control\\Fuzz";
const char* const kValueName = "Value";

std::size_t LogLineCount()
{
    return KvtGetHostControl()->GetLogLines().size();
}

// Makes one read (read(&size)) with the offered size; checks its result, log
// and size, and returns whether it succeeded.
template <typename Read>
bool CheckRead(Read read, bool expectSuccess, bool readable, DWORD offered, std::size_t dataSize)
{
    DWORD size = offered;
    const std::size_t loggedBefore = LogLineCount();
    FUZZ_CHECK(read(&size) == (expectSuccess ? 0 : 1));
    FUZZ_CHECK(LogLineCount() - loggedBefore == (readable ? 0u : 1u));
    FUZZ_CHECK(size == (expectSuccess ? dataSize : offered));
    return expectSuccess;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kHeaderSize) {
        return 0;
    }
    const std::uint8_t control = data[0];
    const DWORD type = data[1] | data[2] << 8 | data[3] << 16 | static_cast<DWORD>(data[4]) << 24;
    const DWORD offered = data[5] | data[6] << 8;
    const std::size_t dataSize = size - kHeaderSize;

    machine::Machine model;
    model.registry.Add(machine::RegistryKey{
        kKeyPath, {machine::RegistryValue{kValueName, type, {data + kHeaderSize, data + size}}}});
    platform::ReplaceMachine(std::make_shared<const platform::Machine>(std::move(model)));
    KvtGetHostControl()->Reset();
    static NORNKVT20::TPluginManagerProvider provider(nullptr, "fuzz");
    LogMessage::setProvider(&provider);

    const bool missing = (control & kReadMissingValue) != 0;
    const bool absentKey = (control & kOpenAbsentKey) != 0;
    const bool closed = (control & kLeaveClosed) != 0 || absentKey;
    // The registry call succeeds: key open, value there, offer large enough.
    const bool readable = !missing && !closed && dataSize <= offered;
    const bool binary = readable && type == REG_BINARY;
    const std::string name = missing ? "Other" : kValueName;
    {
        TRegistryReader reader;
        if (absentKey) {
            FUZZ_CHECK(reader.open("SYSTEM\\Absent") == 1);
            FUZZ_CHECK(LogLineCount() == 1);
        } else if (!closed) {
            FUZZ_CHECK(reader.open(kKeyPath) == 0);
        }

        std::unique_ptr<BYTE[]> buffer(new BYTE[offered]);
        if (CheckRead([&](DWORD* got) { return reader.readBinary(name, buffer.get(), got); },
                      binary, readable, offered, dataSize)) {
            FUZZ_CHECK(std::equal(data + kHeaderSize, data + size, buffer.get()));
        }

        const DWORD untouched = 0xDEADBEEF;
        DWORD number = untouched;
        if (!CheckRead([&](DWORD* got) { return reader.readBinaryNumber(name, &number, got); },
                       binary, readable, offered, dataSize)) {
            FUZZ_CHECK(number == untouched);
        }

        std::string text = "left over from an earlier read";
        CheckRead([&](DWORD* got) { return reader.readString(name, text, got); }, readable,
                  readable, offered, dataSize);
        FUZZ_CHECK(text.size() <= dataSize && text.find('\0') == std::string::npos);
        if (!readable || (type != REG_SZ && type != REG_BINARY)) {
            FUZZ_CHECK(text.empty());
        }
    }
    FUZZ_CHECK(platform::CountRegistryKeys() == 0);

    LogMessage::setProvider(nullptr);
    platform::ReplaceMachine(std::make_shared<const platform::Machine>());
    return 0;
}
