#pragma once
// Reading the kernel's attribute files without trusting them: every read is
// bounded, only regular files are read (a FIFO or a device node in a damaged
// tree would block), links are read one level at a time and never followed
// recursively. What cannot be read is told to a Problems list, not thrown.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace capture::sysfs {

// The messages collected while reading a tree, in the order they arose.
class Problems {
public:
    void Add(const std::string& text) { list_.push_back(text); }
    const std::vector<std::string>& List() const { return list_; }

private:
    std::vector<std::string> list_;
};

// Attribute files are a page at most; EDIDs are refused above this size.
constexpr std::size_t kAttributeLimit = 4096;
constexpr std::size_t kEdidLimit = 32 * 1024;

enum class ReadResult { kRead, kMissing, kRefused };

// Reads the whole file at path if it is a regular file of at most limit
// bytes. kMissing when it does not exist (ENOENT, ENOTDIR); kRefused with
// the reason in why for anything else.
ReadResult ReadBoundedFile(const std::string& path, std::size_t limit, std::string& content,
                           std::string& why);

// The whole file at path, read as ReadBoundedFile reads it. A missing file
// is reported only when required; other failures always are.
std::optional<std::string> ReadFile(const std::string& path, std::size_t limit,
                                    Problems& problems, bool required);

// A one-line attribute without its trailing blanks. A missing file is
// reported only when required; other failures always are.
std::optional<std::string> ReadAttribute(const std::string& path, Problems& problems,
                                         bool required);

// A hexadecimal attribute such as "0x10de" no larger than maximum.
std::optional<unsigned long> ReadHexAttribute(const std::string& path, unsigned long maximum,
                                              Problems& problems, bool required);

// Whether something is at path (a dangling link is nothing).
bool Exists(const std::string& path);

// The names in a folder, sorted, without "." and "..". A missing folder
// gives an empty list; an unreadable one is reported.
std::vector<std::string> ListFolder(const std::string& path, Problems& problems);

// The text of a symbolic link, or nothing when path is not a readable link.
std::optional<std::string> LinkText(const std::string& path);

// The last part of a path ("../../bus/pci/drivers/amdgpu" gives "amdgpu").
std::string LastPart(const std::string& path);

// The canonical path, or nothing with a message (a dangling link or a loop).
std::optional<std::string> CanonicalPath(const std::string& path, Problems& problems);

}  // namespace capture::sysfs
