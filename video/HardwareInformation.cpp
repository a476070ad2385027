#include <cstdint>
#include <memory>
#include <new>

#include "collector/RegistryReader.h"
#include "devstatus/LookupRules.h"
#include "video/VideoInfo.h"

using NORNKVT20::TCIMValue;

namespace {

using LookupRules::kDriverValueSize;

// Reads one text value; false when the read fails or the value holds no data.
bool ReadText(TRegistryReader& reader, const char* valueName, std::string& text)
{
    DWORD size = kDriverValueSize;
    return reader.readString(valueName, text, &size) == 0 && size > 0;
}

}  // namespace

int TVideoInfo::GetHardwareInformation(const std::string& deviceKey)
{
    std::unique_ptr<char[]> keyPath(new (std::nothrow) char[kDriverValueSize]);
    if (!keyPath) {
        m_logger->logError("Could not allocate memory.");
        return 1;
    }
    const char* subKey = LookupRules::DriverKeyInPath(deviceKey, keyPath.get());
    if (subKey == nullptr) {
        return 0;
    }
    TRegistryReader reader;
    if (reader.open(subKey) != 0) {
        return 0;
    }

    std::string text;
    const bool biosStringRead = ReadText(reader, LookupRules::kBiosStringValue, text);
    if (RequestedClassName() == VideoClass::Bios) {
        if (biosStringRead) {
            addProperty(m_properties, "Version", TCIMValue(text));
        }
        return 0;
    }

    if (biosStringRead) {
        addProperty(m_properties, "BiosString", TCIMValue(text));
    }
    if (ReadText(reader, LookupRules::kChipTypeValue, text)) {
        addProperty(m_properties, "VideoProcessor", TCIMValue(text));
    }
    if (ReadText(reader, LookupRules::kDacTypeValue, text)) {
        addProperty(m_properties, "DACType", TCIMValue(text));
    }
    if (ReadText(reader, LookupRules::kAdapterStringValue, text)) {
        addProperty(m_properties, "AdapterString", TCIMValue(text));
    }
    DWORD memorySize = 0;
    DWORD size = kDriverValueSize;
    if (reader.readBinaryNumber(LookupRules::kMemorySizeValue, &memorySize, &size) == 0 &&
        size > 0) {
        addProperty(m_properties, "VideoRamSize",
                    TCIMValue(static_cast<std::uint32_t>(memorySize)));
    }
    return 0;
}
