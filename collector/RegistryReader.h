#pragma once
#include <string>

#include "platform/Win32.h"

// Reads values of one key below HKEY_LOCAL_MACHINE. Every operation returns
// 0 on success and 1 on failure; failing registry calls are logged with the
// system's text at debug level, type mismatches are not logged.
class TRegistryReader {
public:
    TRegistryReader();
    ~TRegistryReader();
    TRegistryReader(const TRegistryReader&) = delete;
    TRegistryReader& operator=(const TRegistryReader&) = delete;

    int open(const char* subKey);
    // REG_BINARY only: the bytes into buffer; *size in: buffer size, out: data size.
    int readBinary(const std::string& name, BYTE* buffer, DWORD* size);
    // REG_BINARY only: the first four bytes as a little-endian number.
    int readBinaryNumber(const std::string& name, DWORD* value, DWORD* size);
    // REG_SZ up to its first zero byte; REG_BINARY with its zero bytes left
    // out; any other type gives an empty text.
    int readString(const std::string& name, std::string& value, DWORD* size);

private:
    HKEY m_key;
};
