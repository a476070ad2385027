#include "capture/linux/SysfsFiles.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace capture::sysfs {

namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

std::string ErrorText(int error)
{
    return std::strerror(error);
}

std::string Hex(unsigned long value)
{
    char digits[32];
    std::snprintf(digits, sizeof digits, "0x%lx", value);
    return digits;
}

}  // namespace

ReadResult ReadBoundedFile(const std::string& path, std::size_t limit, std::string& content,
                           std::string& why)
{
    content.clear();
    // Non-blocking, so that opening a FIFO without a writer returns at once.
    Descriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            return ReadResult::kMissing;
        }
        why = ErrorText(error);
        return ReadResult::kRefused;
    }
    struct stat status {};
    if (fstat(file.get(), &status) != 0) {
        why = ErrorText(errno);
        return ReadResult::kRefused;
    }
    if (!S_ISREG(status.st_mode)) {
        why = "not a regular file";
        return ReadResult::kRefused;
    }
    // The size that stat reports means nothing for kernel attributes (a page
    // for every one), so read until the end or one byte past the limit.
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(file.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            why = ErrorText(errno);
            content.clear();
            return ReadResult::kRefused;
        }
        if (got == 0) {
            return ReadResult::kRead;
        }
        content.append(buffer, static_cast<std::size_t>(got));
        if (content.size() > limit) {
            why = "larger than " + std::to_string(limit) + " bytes";
            content.clear();
            return ReadResult::kRefused;
        }
    }
}

std::optional<std::string> ReadFile(const std::string& path, std::size_t limit,
                                    Problems& problems, bool required)
{
    std::string content;
    std::string why;
    switch (ReadBoundedFile(path, limit, content, why)) {
    case ReadResult::kMissing:
        if (required) {
            problems.Add(path + ": missing");
        }
        return std::nullopt;
    case ReadResult::kRefused:
        problems.Add(path + ": cannot be read (" + why + ")");
        return std::nullopt;
    case ReadResult::kRead:
        break;
    }
    return content;
}

std::optional<std::string> ReadAttribute(const std::string& path, Problems& problems,
                                         bool required)
{
    std::optional<std::string> attribute = ReadFile(path, kAttributeLimit, problems, required);
    if (!attribute) {
        return std::nullopt;
    }
    std::string& content = *attribute;
    const std::string::size_type end = content.find('\n');
    if (end != std::string::npos) {
        content.resize(end);
    }
    while (!content.empty() && (content.back() == ' ' || content.back() == '\t' ||
                                content.back() == '\r' || content.back() == '\0')) {
        content.pop_back();
    }
    return attribute;
}

std::optional<unsigned long> ReadHexAttribute(const std::string& path, unsigned long maximum,
                                              Problems& problems, bool required)
{
    const std::optional<std::string> text = ReadAttribute(path, problems, required);
    if (!text) {
        return std::nullopt;
    }
    const char* begin = text->c_str();
    if (text->size() > 2 && text->compare(0, 2, "0x") == 0) {
        begin += 2;
    }
    char* end = nullptr;
    errno = 0;
    const unsigned long value = std::strtoul(begin, &end, 16);
    if (*begin == '\0' || *end != '\0' || errno != 0 || value > maximum ||
        !std::isxdigit(static_cast<unsigned char>(*begin))) {
        problems.Add(path + ": \"" + *text + "\" is not a hexadecimal number up to " +
                     Hex(maximum));
        return std::nullopt;
    }
    return value;
}

bool Exists(const std::string& path)
{
    struct stat status {};
    return stat(path.c_str(), &status) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

std::vector<std::string> ListFolder(const std::string& path, Problems& problems)
{
    std::vector<std::string> names;
    DIR* folder = opendir(path.c_str());
    if (folder == nullptr) {
        if (errno != ENOENT && errno != ENOTDIR) {
            problems.Add(path + ": cannot be listed (" + ErrorText(errno) + ")");
        }
        return names;
    }
    while (const dirent* entry = readdir(folder)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    closedir(folder);
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> LinkText(const std::string& path)
{
    char buffer[PATH_MAX];
    const ssize_t length = readlink(path.c_str(), buffer, sizeof buffer);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer) {
        return std::nullopt;
    }
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::string LastPart(const std::string& path)
{
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') {
        trimmed.pop_back();
    }
    const std::string::size_type slash = trimmed.rfind('/');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

std::optional<std::string> CanonicalPath(const std::string& path, Problems& problems)
{
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        problems.Add(path + ": cannot be resolved (" + ErrorText(errno) + ")");
        return std::nullopt;
    }
    std::string result(resolved);
    std::free(resolved);
    return result;
}

}  // namespace capture::sysfs
