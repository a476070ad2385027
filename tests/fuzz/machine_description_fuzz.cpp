// libFuzzer target: the machine description loader over arbitrary text.
//
// Each input is loaded over a known machine. The loader must accept it or
// refuse it with a MachineDescriptionError; any other exception, or a fault,
// is a finding. A refusal reads "fuzz.json: " and then "not valid JSON: ..."
// (only for text that does not parse), or a JSON pointer to a place in the
// document (or "(top level)") and the reason; it leaves the machine loaded
// before in place. An accepted machine opens every described registry key
// and value by its name in the ANSI code page, serves a request for all eight
// classes, and nothing is left open afterwards.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>
#include <nlohmann/json.hpp>

#include "FuzzCheck.h"
#include "host/Host.h"
#include "kvtcore/DisplayClasses.h"
#include "kvtcore/HostControl.h"
#include "machine/TextCodec.h"
#include "platform/Win32.h"
#include "platform/posix/Diagnostics.h"
#include "platform/posix/Machine.h"
#include "platform/posix/MachineDescription.h"
#include "plugin/DisplayInfoCallbacks.h"

namespace {

namespace platform = displayplatform::detail;
using Json = nlohmann::json;

const char* const kSource = "fuzz.json";

// The machine in place before each input.
const char* const kBaseline = R"({
  "computerName": "BASELINE",
  "displayDevices": [{"deviceName": "\\\\.\\DISPLAY1", "stateFlags": 5,
                      "deviceID": "PCI\\VEN_1234&DEV_0001",
                      "currentMode": {"bitsPerPel": 32, "pelsWidth": 1024, "pelsHeight": 768}}],
  "devices": [{"instanceId": "PCI\\VEN_1234&DEV_0001\\0", "hardwareIds": ["PCI\\VEN_1234&DEV_0001"]}]
})";

std::shared_ptr<const platform::Machine> baseline;
TDisplayInfoCallbacks* callbacks = nullptr;

// Whether a pointer from a message names a place in the document. Messages
// show a zero character of a key as the escape \u0000.
bool NamesPlaceIn(const Json& document, const std::string& pointer)
{
    std::string zeroed = pointer;
    for (std::size_t at = zeroed.find("\\u0000"); at != std::string::npos;
         at = zeroed.find("\\u0000", at + 1)) {
        zeroed.replace(at, 6, 1, '\0');
    }
    try {
        return document.contains(Json::json_pointer(pointer)) ||
               document.contains(Json::json_pointer(zeroed));
    } catch (const Json::exception&) {
        return false;
    }
}

// The document with the first of each object's repeated keys kept rather
// than the last, as the text reads up to the first repetition: the loader
// names that repetition, which may sit inside an object whose own key is
// repeated later and which a last-wins parse would have dropped.
Json ParseFirstKeyWins(const std::string& text)
{
    std::vector<std::vector<std::string> > keys;  // of the objects open at each depth
    const Json::parser_callback_t keepFirst = [&keys](int depth, Json::parse_event_t event,
                                                      Json& parsed) {
        const std::size_t level = static_cast<std::size_t>(depth);
        if (event == Json::parse_event_t::object_start) {
            keys.resize(level + 1);
            keys[level].clear();
        } else if (event == Json::parse_event_t::key && level >= 1 && level <= keys.size()) {
            std::vector<std::string>& seen = keys[level - 1];
            const std::string key = parsed.get<std::string>();
            if (std::find(seen.begin(), seen.end(), key) != seen.end()) {
                return false;
            }
            seen.push_back(key);
        }
        return true;
    };
    return Json::parse(text, keepFirst, false);
}

void CheckRefusal(const std::string& text, const std::string& message)
{
    const std::string prefix = std::string(kSource) + ": ";
    FUZZ_CHECK(message.compare(0, prefix.size(), prefix) == 0);
    const std::string rest = message.substr(prefix.size());
    const Json document = ParseFirstKeyWins(text);
    for (const std::string place : {"not valid JSON: ", "(top level): "}) {
        if (rest.compare(0, place.size(), place) == 0) {
            FUZZ_CHECK(rest.size() > place.size());
            FUZZ_CHECK(place[0] != 'n' || document.is_discarded());
            return;
        }
    }
    // "<pointer>: <reason>"; a key in the pointer may itself hold ": ". A key
    // given twice is found while parsing, so the text may break later.
    FUZZ_CHECK(!rest.empty() && rest[0] == '/');
    for (std::size_t colon = rest.find(": "); colon != std::string::npos;
         colon = rest.find(": ", colon + 1)) {
        if (colon + 2 < rest.size() &&
            (document.is_discarded() || NamesPlaceIn(document, rest.substr(0, colon)))) {
            return;
        }
    }
    FUZZ_CHECK(false);
}

std::string Ansi(const std::string& utf8)
{
    std::string ansi;
    unsigned badCodePoint = 0;
    FUZZ_CHECK(textcodec::Utf8ToAnsi(utf8, ansi, badCodePoint));
    return ansi;
}

void CheckAccepted(const std::string& text)
{
    FUZZ_CHECK(platform::CurrentMachine() != baseline);
    const Json registry = Json::parse(text).value("registry", Json::object());
    for (const auto& key : registry.items()) {
        HKEY handle = nullptr;
        FUZZ_CHECK(RegOpenKeyExA(HKEY_LOCAL_MACHINE, Ansi(key.key()).c_str(), 0, KEY_READ,
                                 &handle) == ERROR_SUCCESS);
        for (const auto& value : key.value().items()) {
            DWORD size = 0;
            FUZZ_CHECK(RegQueryValueExA(handle, Ansi(value.key()).c_str(), nullptr, nullptr,
                                        nullptr, &size) == ERROR_SUCCESS);
        }
        FUZZ_CHECK(RegCloseKey(handle) == ERROR_SUCCESS);
    }

    const auto request = KvtGetHostControl()->CreateRequest();
    std::vector<boost::shared_ptr<NORNKVT20::ICIMClass> > classes;
    for (const char* name : kvtcore::kDisplayClasses) {
        classes.push_back(request->GetCIMNamespace()->GetClass(name, NORNKVT20::PropertyMap()));
    }
    callbacks->GetData(request->GetQueryContext(), classes);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    displayplatform::LoadMachineJson(kBaseline, "baseline");
    baseline = platform::CurrentMachine();
    // Registers with the host and opens the logging gate; kept for the run.
    callbacks = new TDisplayInfoCallbacks();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    platform::ReplaceMachine(baseline);
    KvtGetHostControl()->Reset();

    bool accepted = true;
    try {
        displayplatform::LoadMachineJson(text, kSource);
    } catch (const displayplatform::MachineDescriptionError& error) {
        accepted = false;
        CheckRefusal(text, error.what());
        FUZZ_CHECK(platform::CurrentMachine() == baseline);
    }
    if (accepted) {
        CheckAccepted(text);
    }

    const displayplatform::OpenHandleCounts open = displayplatform::CountOpenHandles();
    FUZZ_CHECK(open.registryKeys == 0 && open.deviceInfoSets == 0 && open.localAllocations == 0);
    return 0;
}
