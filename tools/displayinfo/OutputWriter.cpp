#include "OutputWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

std::string Reason(int code)
{
    return code != 0 ? std::strerror(code) : "the write failed";
}

// Writes and flushes; errno tells why when it fails.
bool WriteAll(std::FILE* file, const std::string& text)
{
    errno = 0;
    const std::size_t written = std::fwrite(text.data(), 1, text.size(), file);
    return written == text.size() && std::fflush(file) == 0 && std::ferror(file) == 0;
}

}  // namespace

bool WriteStandardOutput(const std::string& text, std::string& error)
{
    if (!WriteAll(stdout, text)) {
        error = "cannot write standard output: " + Reason(errno);
        return false;
    }
    return true;
}

bool WriteOutputFile(const std::string& path, const std::string& text, std::string& error)
{
    if (path == "-") {
        return WriteStandardOutput(text, error);
    }
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot write " + path + ": " + Reason(errno);
        return false;
    }
    bool written = WriteAll(file, text);
    int code = errno;
    if (std::fclose(file) != 0 && written) {
        written = false;
        code = errno;
    }
    if (!written) {
        std::remove(path.c_str());
        error = "cannot write " + path + ": " + Reason(code);
    }
    return written;
}
