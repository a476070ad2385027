#pragma once
// Machines and requests for the video collector's tests. JSON fragments are
// written as raw strings, so "\\" in them is one backslash of the value.
#include <string>
#include <vector>

#include "support/HostFixture.h"
#include "video/VideoInfo.h"

// Output \\.\DISPLAYn of adapter id; extra adds members such as "modes".
inline std::string Out(int n, const std::string& id, int flags = 1, const std::string& extra = "",
                       const std::string& key = R"(\\Registry\\Machine\\System\\Video\\0)")
{
    return R"({"deviceName": "\\\\.\\DISPLAY)" + std::to_string(n) +
           R"(", "deviceString": "Example Graphics", "stateFlags": )" + std::to_string(flags) +
           R"(, "deviceID": ")" + id + R"(", "deviceKey": ")" + key + "\"" + extra + "}";
}

inline std::string Mode(unsigned frequency, unsigned flags = 0)
{
    return R"({"bitsPerPel": 32, "pelsWidth": 1920, "pelsHeight": 1080, "displayFrequency": )" +
           std::to_string(frequency) + R"(, "displayFlags": )" + std::to_string(flags) + "}";
}

// driverValues are the members of the driver key SYSTEM\Video\0.
inline std::string Machine(const std::vector<std::string>& outputs,
                           const std::string& driverValues = "", const std::string& devices = "")
{
    std::string json = R"({"computerName": "WS-0042", "displayDevices": [)";
    for (const std::string& output : outputs) {
        json += (&output == &outputs.front() ? "" : ", ") + output;
    }
    return json + R"(], "registry": {"SYSTEM\\Video\\0": {)" + driverValues +
           R"(}}, "devices": [)" + devices + "]}";
}

// Every property as "name=value:type", array elements joined by "|".
inline std::vector<std::string> Flat(const NORNKVT20::TInstanceSnapshot& instance)
{
    std::vector<std::string> flat;
    for (const auto& property : instance.properties) {
        std::string values;
        for (const std::string& element : property.elements) {
            values += (values.empty() ? "" : "|") + element;
        }
        flat.push_back(property.name + "=" + values + ":" + property.typeName);
    }
    return flat;
}

// One property as "value:type", or "absent".
inline std::string Value(const NORNKVT20::TInstanceSnapshot& instance, const std::string& name)
{
    for (const std::string& entry : Flat(instance)) {
        if (entry.compare(0, name.size() + 1, name + "=") == 0) {
            return entry.substr(name.size() + 1);
        }
    }
    return "absent";
}

class VideoTest : public HostFixture {
protected:
    // One request through a fresh collector, as the dispatch makes it; gives
    // the committed instances of the class.
    std::vector<NORNKVT20::TInstanceSnapshot> Request(const std::string& className)
    {
        // The collector keeps a plain pointer; the request owns the class.
        const boost::shared_ptr<NORNKVT20::ICIMClass> cls = Class(className);
        TVideoInfo collector(cls);
        returned = collector.retrieveInstances().size();
        return Committed(className);
    }

    std::size_t returned = 0;
};
