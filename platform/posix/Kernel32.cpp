// Kernel32: last error, system message texts, local memory, time zone and
// computer name.
#include "platform/posix/Kernel32.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

#include "platform/posix/Machine.h"

using displayplatform::detail::CurrentMachine;

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

// ---- system message table ------------------------------------------------

struct SystemMessage {
    DWORD id;
    const char* text;
};

// The English texts of Windows' system message table, with the line end that
// every one of them carries. (Wine's own table has shorter wordings, e.g.
// "File not found." for 2; these are Windows'.)
constexpr SystemMessage kSystemMessages[] = {
    {0, "The operation completed successfully.\r\n"},
    {1, "Incorrect function.\r\n"},
    {2, "The system cannot find the file specified.\r\n"},
    {3, "The system cannot find the path specified.\r\n"},
    {4, "The system cannot open the file.\r\n"},
    {5, "Access is denied.\r\n"},
    {6, "The handle is invalid.\r\n"},
    {8, "Not enough memory resources are available to process this command.\r\n"},
    {13, "The data is invalid.\r\n"},
    {14, "Not enough memory resources are available to complete this operation.\r\n"},
    {18, "There are no more files.\r\n"},
    {31, "A device attached to the system is not functioning.\r\n"},
    {50, "The request is not supported.\r\n"},
    {87, "The parameter is incorrect.\r\n"},
    {111, "The file name is too long.\r\n"},
    {120, "This function is not supported on this system.\r\n"},
    {122, "The data area passed to a system call is too small.\r\n"},
    {161, "The specified path is invalid.\r\n"},
    {234, "More data is available.\r\n"},
    {259, "No more data is available.\r\n"},
    {317,
     "The system cannot find message text for message number 0x%1 in the message file for "
     "%2.\r\n"},
    {1004, "Invalid flags.\r\n"},
    {1009, "The configuration registry database is corrupt.\r\n"},
    {1010, "The configuration registry key is invalid.\r\n"},
    {1011, "The configuration registry key could not be opened.\r\n"},
    {1012, "The configuration registry key could not be read.\r\n"},
    {1168, "Element not found.\r\n"},
    {1784, "The supplied user buffer is not valid for the requested operation.\r\n"},
    {1815, "The specified resource language ID cannot be found in the image file.\r\n"},
};

const char* FindSystemMessage(DWORD id)
{
    for (const SystemMessage& message : kSystemMessages) {
        if (message.id == id) {
            return message.text;
        }
    }
    return nullptr;
}

// The table is English only: neutral and English language identifiers find
// it (0, 0x400 user default, 0x800 system default, 0x409, 0x809, ...).
bool HasLanguage(DWORD languageId)
{
    const DWORD primary = languageId & 0x3FF;
    return primary == LANG_NEUTRAL || primary == LANG_ENGLISH;
}

// The text as FormatMessageA hands it out. Inserts (%1, %2) stay as they are
// when inserts are ignored; supplying them from arguments is not supported,
// so such a text fails then. A maximum width other than 0 turns the text's
// line break into a blank (every width is treated like
// FORMAT_MESSAGE_MAX_WIDTH_MASK; lines are not wrapped).
bool Expand(const std::string& source, DWORD flags, std::string& out)
{
    if ((flags & FORMAT_MESSAGE_IGNORE_INSERTS) == 0 && source.find('%') != std::string::npos) {
        return false;
    }
    out = source;
    if ((flags & FORMAT_MESSAGE_MAX_WIDTH_MASK) != 0) {
        for (std::size_t at = out.find("\r\n"); at != std::string::npos; at = out.find("\r\n", at)) {
            out.replace(at, 2, " ");
        }
    }
    return true;
}

// ---- local memory ----------------------------------------------------------

std::mutex localMutex;
std::set<void*>& LocalAllocations()
{
    static std::set<void*> allocations;
    return allocations;
}

void* LocalAllocate(std::size_t size)
{
    void* memory = std::calloc(size, 1);
    if (memory != nullptr) {
        std::lock_guard<std::mutex> lock(localMutex);
        LocalAllocations().insert(memory);
    }
    return memory;
}

// ---- computer name ---------------------------------------------------------

// The NetBIOS form of the host name: up to the first dot, upper case, at most
// MAX_COMPUTERNAME_LENGTH characters.
std::string HostComputerName()
{
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) {
        return "LOCALHOST";
    }
    std::string name(host);
    name = name.substr(0, name.find('.'));
    if (name.size() > MAX_COMPUTERNAME_LENGTH) {
        name.resize(MAX_COMPUTERNAME_LENGTH);
    }
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return name.empty() ? "LOCALHOST" : name;
}

}  // namespace

DWORD WINAPI GetLastError(void)
{
    return lastError;
}

void WINAPI SetLastError(DWORD dwErrCode)
{
    lastError = dwErrCode;
}

// Messages from the system table (FORMAT_MESSAGE_FROM_SYSTEM); texts of
// modules and texts passed in (FORMAT_MESSAGE_FROM_HMODULE/_FROM_STRING) are
// not available and fail with ERROR_INVALID_PARAMETER. Returns the length
// without terminator, or 0 with the last error set: ERROR_MR_MID_NOT_FOUND
// for an unknown message, ERROR_RESOURCE_LANG_NOT_FOUND for a language other
// than neutral or English, ERROR_INSUFFICIENT_BUFFER when the caller's buffer
// is too small. With FORMAT_MESSAGE_ALLOCATE_BUFFER the text goes into a
// buffer that LocalFree releases.
DWORD WINAPI FormatMessageA(DWORD dwFlags, LPCVOID /*lpSource*/, DWORD dwMessageId,
                            DWORD dwLanguageId, LPSTR lpBuffer, DWORD nSize, va_list* /*Arguments*/)
{
    const DWORD sources =
        FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM;
    if (lpBuffer == nullptr || (dwFlags & sources) != FORMAT_MESSAGE_FROM_SYSTEM) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (CurrentMachine()->Model().faults.messageTextFails) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    if (!HasLanguage(dwLanguageId)) {
        SetLastError(ERROR_RESOURCE_LANG_NOT_FOUND);
        return 0;
    }
    const char* source = FindSystemMessage(dwMessageId);
    if (source == nullptr) {
        SetLastError(ERROR_MR_MID_NOT_FOUND);
        return 0;
    }
    std::string text;
    if (!Expand(source, dwFlags, text)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::size_t needed = text.size() + 1;
    if ((dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) != 0) {
        auto* memory = static_cast<char*>(LocalAllocate(needed > nSize ? needed : nSize));
        if (memory == nullptr) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return 0;
        }
        std::memcpy(memory, text.c_str(), needed);
        *reinterpret_cast<LPSTR*>(lpBuffer) = memory;
    } else {
        if (needed > nSize) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
        std::memcpy(lpBuffer, text.c_str(), needed);
    }
    return static_cast<DWORD>(text.size());
}

// Releases memory that FormatMessageA allocated: null on success (and for a
// null handle), the handle itself and ERROR_INVALID_HANDLE for memory it
// does not know, which includes memory already released.
HLOCAL WINAPI LocalFree(HLOCAL hMem)
{
    if (hMem == nullptr) {
        return nullptr;
    }
    {
        std::lock_guard<std::mutex> lock(localMutex);
        if (LocalAllocations().erase(hMem) == 0) {
            SetLastError(ERROR_INVALID_HANDLE);
            return hMem;
        }
    }
    std::free(hMem);
    return nullptr;
}

// The machine's time zone (result, biases; names and dates empty). A machine
// that names none is in UTC, a zone without daylight saving time, whatever
// the zone of this process: so it replays the same everywhere.
DWORD WINAPI GetTimeZoneInformation(LPTIME_ZONE_INFORMATION lpTimeZoneInformation)
{
    if (lpTimeZoneInformation == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return TIME_ZONE_ID_INVALID;
    }
    *lpTimeZoneInformation = TIME_ZONE_INFORMATION{};
    const auto machine = CurrentMachine();
    if (!machine->Model().zone) {
        return TIME_ZONE_ID_UNKNOWN;
    }
    const auto& zone = *machine->Model().zone;
    lpTimeZoneInformation->Bias = zone.bias;
    lpTimeZoneInformation->StandardBias = zone.standard;
    lpTimeZoneInformation->DaylightBias = zone.daylight;
    return zone.result;
}

// *nSize holds the buffer size in characters on entry. When the name and its
// terminator fit: the name, *nSize = its length, TRUE. Otherwise FALSE,
// ERROR_BUFFER_OVERFLOW and *nSize = the size needed including the terminator.
BOOL WINAPI GetComputerNameA(LPSTR lpBuffer, LPDWORD nSize)
{
    if (nSize == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const auto machine = CurrentMachine();
    const std::string name = machine->Model().computer ? *machine->Model().computer : HostComputerName();
    const DWORD needed = static_cast<DWORD>(name.size() + 1);
    if (lpBuffer == nullptr || *nSize < needed) {
        *nSize = needed;
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return FALSE;
    }
    std::memcpy(lpBuffer, name.c_str(), needed);
    *nSize = needed - 1;
    return TRUE;
}

int WINAPI lstrlenA(LPCSTR lpString)
{
    if (lpString == nullptr) {
        return 0;
    }
    const std::size_t length = std::strlen(lpString);
    return length > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(length);
}

namespace displayplatform::detail {

std::size_t CountLocalAllocations()
{
    std::lock_guard<std::mutex> lock(localMutex);
    return LocalAllocations().size();
}

}  // namespace displayplatform::detail
