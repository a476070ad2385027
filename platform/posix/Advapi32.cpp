// The registry: HKEY_LOCAL_MACHINE holds the described keys; the other
// predefined keys exist and are empty.
//
// Value data is returned as described, byte for byte. Windows' ANSI functions
// convert string-typed data (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) from UTF-16
// to the ANSI code page; here the description gives the ANSI view directly,
// so a string-typed value with a "utf16" payload returns UTF-16 bytes.
#include "platform/posix/Advapi32.h"

#include <cstring>
#include <map>
#include <mutex>

#include "platform/posix/CallCounts.h"
#include "platform/posix/Machine.h"

using displayplatform::detail::Call;
using displayplatform::detail::CountCall;
using displayplatform::detail::CurrentMachine;
using displayplatform::detail::Machine;
using machine::FoldCase;
using machine::RegistryValue;

namespace {

struct OpenKey {
    std::shared_ptr<const Machine> machine;  // null for the empty hives
    std::string foldedPath;
};

std::mutex keysMutex;
std::map<HKEY, OpenKey>& OpenKeys()
{
    static std::map<HKEY, OpenKey> keys;
    return keys;
}

std::uintptr_t& NextHandle()
{
    // Handle values as Windows hands them out: small multiples of 4.
    static std::uintptr_t next = 0x100;
    return next;
}

// The predefined key a handle stands for, accepting the sign-extended form
// that the SDK's headers give these constants on x64.
bool IsPredefined(HKEY key, std::uint32_t& which)
{
    auto value = reinterpret_cast<std::uintptr_t>(key);
    if ((value >> 32) == 0xFFFFFFFFu) {
        value &= 0xFFFFFFFFu;
    }
    if (value >= 0x80000000u && value <= 0x80000006u) {
        which = static_cast<std::uint32_t>(value);
        return true;
    }
    return false;
}

// Resolves a handle to the key it names; false for an unknown handle.
bool Resolve(HKEY key, OpenKey& resolved)
{
    std::uint32_t which = 0;
    if (IsPredefined(key, which)) {
        resolved.machine =
            which == reinterpret_cast<std::uintptr_t>(HKEY_LOCAL_MACHINE) ? CurrentMachine() : nullptr;
        resolved.foldedPath.clear();
        return true;
    }
    std::lock_guard<std::mutex> lock(keysMutex);
    const auto open = OpenKeys().find(key);
    if (open == OpenKeys().end()) {
        return false;
    }
    resolved = open->second;
    return true;
}

bool KeyExists(const OpenKey& key)
{
    return key.foldedPath.empty() || (key.machine && key.machine->KeyExists(key.foldedPath));
}

}  // namespace

// Opens a key below a predefined or open key. The sub-key path is matched
// without regard to case; empty path parts (doubled or trailing backslashes)
// are skipped, a leading backslash is refused with ERROR_BAD_PATHNAME. A null
// or empty sub-key opens a new handle to hKey's key (Wine hands back the
// predefined handle itself). On failure *phkResult is null, except for an
// invalid hKey.
LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD /*ulOptions*/,
                             REGSAM /*samDesired*/, PHKEY phkResult)
{
    CountCall(Call::RegOpenKeyExA);
    if (phkResult == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    OpenKey key;
    if (!Resolve(hKey, key)) {
        return ERROR_INVALID_HANDLE;
    }
    *phkResult = nullptr;
    const std::string subKey = lpSubKey != nullptr ? lpSubKey : "";
    if (!subKey.empty() && subKey[0] == '\\') {
        return ERROR_BAD_PATHNAME;
    }
    const std::string parts = FoldCase(machine::WithoutEmptyParts(subKey));
    if (!parts.empty()) {
        key.foldedPath += (key.foldedPath.empty() ? "" : "\\") + parts;
    }
    if (!KeyExists(key)) {
        return ERROR_FILE_NOT_FOUND;
    }
    std::lock_guard<std::mutex> lock(keysMutex);
    auto handle = reinterpret_cast<HKEY>(NextHandle());
    NextHandle() += 4;
    OpenKeys().emplace(handle, std::move(key));
    *phkResult = handle;
    return ERROR_SUCCESS;
}

// Reads a value (null or empty name: the key's default value). With lpData
// null only the type and size are reported. A buffer that is too small gives
// ERROR_MORE_DATA with the size needed in *lpcbData and leaves the buffer
// untouched. A missing value leaves *lpType and *lpcbData alone.
LSTATUS WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved,
                                LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    CountCall(Call::RegQueryValueExA);
    OpenKey key;
    if (!Resolve(hKey, key)) {
        return ERROR_INVALID_HANDLE;
    }
    if (lpReserved != nullptr || (lpData != nullptr && lpcbData == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    const RegistryValue* value =
        key.machine ? key.machine->FindValue(key.foldedPath, lpValueName ? lpValueName : "")
                    : nullptr;
    if (value == nullptr) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (lpType != nullptr) {
        *lpType = value->type;
    }
    const auto size = static_cast<DWORD>(value->data.size());
    if (lpData != nullptr) {
        if (*lpcbData < size) {
            *lpcbData = size;
            return ERROR_MORE_DATA;
        }
        if (size != 0) {
            std::memcpy(lpData, value->data.data(), size);
        }
    }
    if (lpcbData != nullptr) {
        *lpcbData = size;
    }
    return ERROR_SUCCESS;
}

// Closing a predefined key succeeds and changes nothing; null, unknown and
// already closed handles give ERROR_INVALID_HANDLE.
LSTATUS WINAPI RegCloseKey(HKEY hKey)
{
    CountCall(Call::RegCloseKey);
    std::uint32_t which = 0;
    if (IsPredefined(hKey, which)) {
        return ERROR_SUCCESS;
    }
    std::lock_guard<std::mutex> lock(keysMutex);
    return OpenKeys().erase(hKey) != 0 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

namespace displayplatform::detail {

std::size_t CountRegistryKeys()
{
    std::lock_guard<std::mutex> lock(keysMutex);
    return OpenKeys().size();
}

}  // namespace displayplatform::detail
