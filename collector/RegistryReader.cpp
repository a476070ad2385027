#include "collector/RegistryReader.h"

#include <algorithm>
#include <iterator>
#include <memory>

#include "collector/LogMessage.h"

namespace {

// Queries one value into buffer; on success *size holds the data size.
// Registry errors are logged with the system's text.
LSTATUS QueryValue(HKEY key, const std::string& name, DWORD& type, BYTE* buffer, DWORD& size)
{
    LSTATUS result = RegQueryValueExA(key, name.c_str(), nullptr, &type, buffer, &size);
    if (result != ERROR_SUCCESS) {
        LogMessage::getInstance()->logSystemError(static_cast<DWORD>(result));
    }
    return result;
}

// new[] of zero bytes still gives a real pointer; a null data pointer would
// turn the query into a size-only query that always succeeds.
std::unique_ptr<BYTE[]> AllocateValueBuffer(DWORD size)
{
    return std::unique_ptr<BYTE[]>(new BYTE[size]);
}

}  // namespace

TRegistryReader::TRegistryReader() : m_key(nullptr) {}

TRegistryReader::~TRegistryReader()
{
    if (m_key != nullptr) {
        RegCloseKey(m_key);
    }
}

int TRegistryReader::open(const char* subKey)
{
    if (m_key != nullptr) {
        RegCloseKey(m_key);
        m_key = nullptr;
    }
    LSTATUS result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, KEY_READ, &m_key);
    if (result != ERROR_SUCCESS) {
        LogMessage::getInstance()->logSystemError(static_cast<DWORD>(result));
        if (m_key != nullptr) {
            RegCloseKey(m_key);
            m_key = nullptr;
        }
        return 1;
    }
    return 0;
}

int TRegistryReader::readBinary(const std::string& name, BYTE* buffer, DWORD* size)
{
    DWORD type = REG_NONE;
    DWORD dataSize = *size;
    if (QueryValue(m_key, name, type, buffer, dataSize) != ERROR_SUCCESS || type != REG_BINARY) {
        return 1;
    }
    *size = dataSize;
    return 0;
}

int TRegistryReader::readBinaryNumber(const std::string& name, DWORD* value, DWORD* size)
{
    std::unique_ptr<BYTE[]> buffer = AllocateValueBuffer(*size);
    DWORD type = REG_NONE;
    DWORD dataSize = *size;
    if (QueryValue(m_key, name, type, buffer.get(), dataSize) != ERROR_SUCCESS ||
        type != REG_BINARY) {
        return 1;
    }
    // Little-endian; from the fifth byte on the multiplier has shifted out
    // of 32 bits, so only the first four bytes count.
    DWORD number = 0;
    DWORD multiplier = 1;
    for (DWORD i = 0; i < dataSize; ++i) {
        number += buffer[i] * multiplier;
        multiplier <<= 8;
    }
    *value = number;
    *size = dataSize;
    return 0;
}

int TRegistryReader::readString(const std::string& name, std::string& value, DWORD* size)
{
    std::unique_ptr<BYTE[]> buffer = AllocateValueBuffer(*size);
    value.clear();
    DWORD type = REG_NONE;
    DWORD dataSize = *size;
    if (QueryValue(m_key, name, type, buffer.get(), dataSize) != ERROR_SUCCESS) {
        return 1;
    }
    const char* data = reinterpret_cast<const char*>(buffer.get());
    if (type == REG_SZ) {
        value.assign(data, std::find(data, data + dataSize, '\0'));
    } else if (type == REG_BINARY) {
        // Drivers store adapter texts as UTF-16LE; dropping the zero bytes
        // leaves their 8-bit characters.
        std::remove_copy(data, data + dataSize, std::back_inserter(value), '\0');
    }
    *size = dataSize;
    return 0;
}
