#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "collector/RegistryReader.h"
#include "video/VideoInfo.h"

using NORNKVT20::TCIMValue;

namespace {

// The size offered for every value and for the lower-cased key path.
constexpr DWORD kValueBufferSize = 512;

// Reads one text value; false when the read fails or the value holds no data.
bool ReadText(TRegistryReader& reader, const char* valueName, std::string& text)
{
    DWORD size = kValueBufferSize;
    return reader.readString(valueName, text, &size) == 0 && size > 0;
}

}  // namespace

int TVideoInfo::GetHardwareInformation(const std::string& deviceKey)
{
    std::unique_ptr<char[]> keyPath(new (std::nothrow) char[kValueBufferSize]);
    if (!keyPath) {
        m_logger->logError("Could not allocate memory.");
        return 1;
    }
    std::size_t length = std::min<std::size_t>(deviceKey.size(), kValueBufferSize - 1);
    for (std::size_t i = 0; i < length; ++i) {
        keyPath[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(deviceKey[i])));
    }
    keyPath[length] = '\0';

    // The window system reports a kernel path such as
    // \registry\machine\system\...; from "system" on it is the same key
    // below HKEY_LOCAL_MACHINE.
    const char* subKey = std::strstr(keyPath.get(), "system");
    if (std::strstr(keyPath.get(), "machine") == nullptr || subKey == nullptr) {
        return 0;
    }
    TRegistryReader reader;
    if (reader.open(subKey) != 0) {
        return 0;
    }

    std::string text;
    const bool biosStringRead = ReadText(reader, "HardwareInformation.BiosString", text);
    if (RequestedClassName() == VideoClass::Bios) {
        if (biosStringRead) {
            addProperty(m_properties, "Version", TCIMValue(text));
        }
        return 0;
    }

    if (biosStringRead) {
        addProperty(m_properties, "BiosString", TCIMValue(text));
    }
    if (ReadText(reader, "HardwareInformation.ChipType", text)) {
        addProperty(m_properties, "VideoProcessor", TCIMValue(text));
    }
    if (ReadText(reader, "HardwareInformation.DacType", text)) {
        addProperty(m_properties, "DACType", TCIMValue(text));
    }
    if (ReadText(reader, "HardwareInformation.AdapterString", text)) {
        addProperty(m_properties, "AdapterString", TCIMValue(text));
    }
    DWORD memorySize = 0;
    DWORD size = kValueBufferSize;
    if (reader.readBinaryNumber("HardwareInformation.MemorySize", &memorySize, &size) == 0 &&
        size > 0) {
        addProperty(m_properties, "VideoRamSize",
                    TCIMValue(static_cast<std::uint32_t>(memorySize)));
    }
    return 0;
}
