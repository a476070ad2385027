#include "machine/JsonInput.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "machine/DescriptionError.h"
#include "machine/JsonPlace.h"

namespace machine::json {

namespace {

using Json = nlohmann::json;

// An output stream buffer that appends to a string.
class StringSink : public std::streambuf {
public:
    explicit StringSink(std::string& text) : text_(text) {}

protected:
    std::streamsize xsputn(const char* data, std::streamsize count) override
    {
        text_.append(data, static_cast<std::size_t>(count));
        return count;
    }
    int_type overflow(int_type c) override
    {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            text_.push_back(traits_type::to_char_type(c));
        }
        return traits_type::not_eof(c);
    }

private:
    std::string& text_;
};

// Thrown while parsing, before the document exists.
struct DuplicateKey {
    std::string pointer;
};

// Reads the document's events and throws DuplicateKey for the first object
// key given twice, with the place of the repeated key. Syntax errors are
// thrown as the library's own exceptions, as its parser throws them.
class DuplicateKeyCheck {
public:
    bool null() { return Value(); }
    bool boolean(bool) { return Value(); }
    bool number_integer(Json::number_integer_t) { return Value(); }
    bool number_unsigned(Json::number_unsigned_t) { return Value(); }
    bool number_float(Json::number_float_t, const Json::string_t&) { return Value(); }
    bool string(Json::string_t&) { return Value(); }
    bool binary(Json::binary_t&) { return Value(); }
    bool start_object(std::size_t) { return Start(false); }
    bool start_array(std::size_t) { return Start(true); }
    bool end_object() { return End(); }
    bool end_array() { return End(); }

    bool key(Json::string_t& key)
    {
        Frame& frame = frames_.back();
        frame.key = key;
        if (!frame.keys.insert(frame.key).second) {
            throw DuplicateKey{Printable(Pointer())};
        }
        return true;
    }

    template <class Exception>
    bool parse_error(std::size_t, const std::string&, const Exception& error)
    {
        throw error;
    }

private:
    struct Frame {
        bool isArray;
        long index;
        std::string key;
        std::set<std::string> keys;
    };

    bool Value()
    {
        if (!frames_.empty() && frames_.back().isArray) {
            ++frames_.back().index;
        }
        return true;
    }

    bool Start(bool isArray)
    {
        Value();
        frames_.push_back(Frame{isArray, -1, {}, {}});
        return true;
    }

    bool End()
    {
        frames_.pop_back();
        return true;
    }

    std::string Pointer() const
    {
        std::string text;
        for (const Frame& frame : frames_) {
            text += "/" + (frame.isArray ? std::to_string(frame.index) : PointerToken(frame.key));
        }
        return text;
    }

    std::vector<Frame> frames_;
};

}  // namespace

std::string ReadTextFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw DescriptionError(path + ": cannot be opened: " + std::strerror(errno));
    }
    // A description of thousands of devices runs to megabytes. The text is
    // copied into one string made large enough for a regular file at once,
    // rather than into a growing string stream and out again, which held it
    // twice while it was parsed.
    std::string text;
    std::error_code sizeUnknown;
    const std::uintmax_t size = std::filesystem::file_size(path, sizeUnknown);
    if (!sizeUnknown) {
        text.reserve(static_cast<std::size_t>(size));
    }
    StringSink sink(text);
    std::ostream copy(&sink);
    copy << file.rdbuf();
    if (file.bad()) {
        throw DescriptionError(path + ": cannot be read: " + std::strerror(errno));
    }
    return text;
}

// The duplicate check is a pass of its own: the library's parser with a
// callback, which could check while building, searches the enclosing object
// after every nested one, which takes time quadratic in the number of
// registry keys.
Json ParseDocument(const std::string& text, const std::string& source)
{
    try {
        DuplicateKeyCheck check;
        Json::sax_parse(text, &check);
        return Json::parse(text);
    } catch (const DuplicateKey& duplicate) {
        throw DescriptionError(source + ": " + duplicate.pointer + ": the key is given twice");
    } catch (const Json::exception& error) {
        // Syntax errors, and numbers too large for a double (out_of_range).
        std::string what = error.what();
        const std::size_t tag = what.find("] ");
        if (what.rfind("[json.exception", 0) == 0 && tag != std::string::npos) {
            what = what.substr(tag + 2);
        }
        throw DescriptionError(source + ": not valid JSON: " + what);
    }
}

}  // namespace machine::json
