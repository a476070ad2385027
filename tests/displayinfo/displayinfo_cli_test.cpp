#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs displayinfo with the arguments (already shell-quoted) and an
// environment prefix.
Outcome Displayinfo(const std::string& arguments, const std::string& environment = "")
{
    std::string base = ::testing::TempDir() + "displayinfo_run";
    std::string command = "env -u DISPLAYINFO_MACHINE -u DISPLAYINFO_SYSTEM_ROOT " + environment + " '" DISPLAYINFO_EXE "' " +
                          arguments + " >" + base + ".out 2>" + base + ".err";
    int raw = std::system(command.c_str());
    Outcome run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadFile(base + ".out");
    run.err = ReadFile(base + ".err");
    return run;
}

std::string WriteTemp(const std::string& name, const std::string& content)
{
    std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::vector<std::string> LogTexts(const nlohmann::json& document)
{
    std::vector<std::string> texts;
    for (const auto& line : document.at("log")) {
        texts.push_back(line.at("text").get<std::string>());
    }
    return texts;
}

}  // namespace

// Only the exact class names are served, each time they are asked for.
TEST(DisplayinfoTest, UnknownAndServedClassesAreLoggedInRequestOrder)
{
    const std::pair<const char*, bool> classes[] = {
        {"ORNSG_VideoController", true},  {"Foo", false},
        {"ornsg_videocontroller", false}, {"ORNSG_VideoController ", false},
        {"", false},                      {"ORNSG_Video", false},
        {"ORNSG_MonitorSetting", true},   {"ORNSG_MonitorSetting", true}};
    std::string arguments = "--format json";
    std::vector<std::string> expected = {"TDisplayInfoCallbacks::Init - Initializing the plugin."};
    for (const auto& c : classes) {
        arguments += std::string(" '") + c.first + "'";
        expected.push_back(std::string("TDisplayInfoCallbacks::GetData - Received request for class ") +
                           c.first + ".");
        if (c.second) {
            expected.push_back("TDisplayInfoCallbacks::retrieveDataForClass - No instances of the "
                               "requested class were created.");
        }
    }
    expected.push_back("TDisplayInfoCallbacks::GetData - Normal exit from plugin.");
    expected.push_back("TDisplayInfoCallbacks::DeInit - De-initializing the plugin.");
    Outcome run = Displayinfo(arguments);
    ASSERT_EQ(0, run.status) << run.err;
    auto document = nlohmann::json::parse(run.out);
    EXPECT_EQ(expected, LogTexts(document));
    EXPECT_TRUE(document.at("instances").empty());
    for (const auto& line : document.at("log")) {
        EXPECT_EQ(3, line.at("level").get<int>());
    }
}

TEST(DisplayinfoTest, ExitStatusesAndStandardErrorNameWhatWentWrong)
{
    std::string malformed = WriteTemp("malformed.json", "{\"displayDevices\": [{\"deviceNam\": 1}]}");
    struct Case {
        std::string arguments;
        std::string environment;
        int status;
        std::string inMessage;  // on standard error, which is empty when this is
    } cases[] = {
        // Standard error echoes the log from the chosen level on.
        {"ORNSG_VideoBios", "", 0, ""},
        {"--log-level info ORNSG_VideoBios", "", 0,
         "info: TDisplayInfoCallbacks::Init - Initializing the plugin.\n"},
        // --version ends well, before any request.
        {"--version", "", 0, ""},
        {"--format xml", "", 2, "--format"},
        {"--log-level loud", "", 2, "--log-level"},
        {"--no-such-option", "", 2, "no-such-option"},
        {"--machine /nonexistent/machine.json", "", 1, "/nonexistent/machine.json"},
        {"--machine '" + malformed + "'", "", 1, "/displayDevices/0"},
        {"", "DISPLAYINFO_MACHINE='" + malformed + "'", 1, "malformed.json"},
        {"--plugin /nonexistent/libplugin.so", "", 1, "/nonexistent/libplugin.so"},
        {"", "DISPLAYINFO_INJECT_FAULT=nonsense", 2, "DISPLAYINFO_INJECT_FAULT"},
        {"", "DISPLAYINFO_INJECT_FAULT=GetNames:1:x", 2, "GetNames"},
        // The plug-in's first host call asks the first class for its name,
        // outside any place that catches; a failed scoping name is logged.
        {"", "DISPLAYINFO_INJECT_FAULT=AnyOperation:1:boom", 3, "boom"},
        {"--machine '" EXAMPLES_DIR "/workstation.json'",
         "DISPLAYINFO_INJECT_FAULT='GetSystemName:2:no name'", 0, "error: no name"},
    };
    for (const Case& c : cases) {
        Outcome run = Displayinfo(c.arguments, c.environment);
        EXPECT_EQ(c.status, run.status) << c.arguments << c.environment;
        EXPECT_TRUE(c.inMessage.empty() ? run.err.empty()
                                        : run.err.find(c.inMessage) != std::string::npos)
            << run.err;
        if (c.status == 1) {
            EXPECT_TRUE(run.out.empty()) << c.arguments << c.environment;
        }
    }
}

TEST(DisplayinfoTest, AnsiTextReplaysFromTheDescriptionsUtf8)
{
    const std::string machine = WriteTemp("ansi.json",
        R"({"displayDevices": [{"deviceName": "\\\\.\\DISPLAY1", "stateFlags": 1,
            "deviceString": "Radeon\u00ae Graphics", "deviceID": "PCI\\VEN_1002",
            "monitors": [{"deviceName": "M", "deviceString": "Caf\u00e9 \u20ac"}]}]})");
    Outcome run = Displayinfo("--format json --machine '" + machine + "' ORNSG_VideoController");
    ASSERT_EQ(0, run.status) << run.err;
    auto controller = nlohmann::json::parse(run.out).at("instances").at(0).at("properties");
    EXPECT_EQ("Radeon\u00ae Graphics", controller.at("Name").at("value"));
    EXPECT_EQ("Caf\u00e9 \u20ac", controller.at("MonitorString").at("value").at(0));
}

TEST(DisplayinfoTest, AnExceptionLeavingTheRequestKeepsWhatWasCommitted)
{
    // The name of each class is asked for outside any place where the
    // plug-in catches; the first such call after a commit ends the request.
    const std::string arguments = "--format json --machine '" EXAMPLES_DIR
                                  "/workstation.json' ORNSG_VideoController ORNSG_DesktopMonitor";
    Outcome run{};
    for (int call = 1; call <= 100; ++call) {
        run = Displayinfo(arguments,
                          "DISPLAYINFO_INJECT_FAULT=GetName:" + std::to_string(call) + ":boom");
        if (run.status == 3 && !nlohmann::json::parse(run.out).at("instances").empty()) {
            break;
        }
    }
    ASSERT_EQ(3, run.status);
    EXPECT_NE(std::string::npos, run.err.find("the request ended with an exception: boom"))
        << run.err;
    auto document = nlohmann::json::parse(run.out);
    ASSERT_EQ(2u, document.at("instances").size());
    for (const auto& instance : document.at("instances")) {
        EXPECT_EQ("ORNSG_VideoController", instance.at("class"));
    }
    EXPECT_EQ("TDisplayInfoCallbacks::DeInit - De-initializing the plugin.", LogTexts(document).back());
}

// A zone further from UTC than the datetime text's three offset digits reach
// still gives every monitor its date, written in UTC.
TEST(DisplayinfoTest, ZonesBeyondNineHundredNinetyNineMinutesStillServeTheMonitors)
{
    // The first monitor was made in week 32 of 2020, 6:00 local time on 5 August.
    const struct {
        int bias;
        const char* firstDate;
    } cases[] = {{-999, "20200805060000.000000+999"},  {999, "20200805060000.000000-999"},
                 {-840, "20200805060000.000000+840"},  {-1000, "20200804132000.000000+000"},
                 {1000, "20200805224000.000000+000"},  {32767, "20200828000700.000000+000"},
                 {-32768, "20200828000800.000000+000"}};
    for (const auto& c : cases) {
        auto machine = nlohmann::json::parse(ReadFile(EXAMPLES_DIR "/workstation.json"));
        machine["timeZone"] = {{"result", 1}, {"bias", c.bias}};
        const std::string path = WriteTemp("far-zone.json", machine.dump());
        Outcome run = Displayinfo("--format json --machine '" + path +
                                  "' ORNSG_DesktopMonitor ORNSG_MonitorResolution "
                                  "ORNSG_MonitorSetting");
        ASSERT_EQ(0, run.status) << c.bias << run.err;
        std::vector<std::string> dates;
        std::size_t settings = 0;
        const auto document = nlohmann::json::parse(run.out);
        for (const auto& instance : document.at("instances")) {
            settings += instance.at("class") == "ORNSG_MonitorSetting";
            if (instance.at("class") != "ORNSG_DesktopMonitor") {
                continue;
            }
            dates.push_back(
                instance.at("properties").at("ManufacturingDate").at("value").get<std::string>());
            EXPECT_EQ(std::string(c.firstDate).substr(21), dates.back().substr(21)) << c.bias;
        }
        ASSERT_EQ(3u, dates.size()) << c.bias;
        EXPECT_EQ(c.firstDate, dates.front());
        EXPECT_LT(0u, settings) << c.bias;
    }
}

// A live machine below --system-root, given also by DISPLAYINFO_SYSTEM_ROOT:
// a copy of a fixture tree whose connected DP-1 has a broken EDID, which
// standard error names in both live runs; its capture replays the run.
TEST(DisplayinfoTest, LiveMachineNamesItsDamageAndReplaysFromItsCapture)
{
    const std::string root = ::testing::TempDir() + "live-root";
    const std::string edid = root + "/sys/class/drm/card1/card1-DP-1/edid";
    ASSERT_EQ(std::system(("rm -rf '" + root + "' && cp -a '" SYSFS_FIXTURES_DIR "/two-gpus' '" +
                           root + "' && printf x >'" + edid + "'").c_str()), 0);

    const std::string capture = ::testing::TempDir() + "live-capture.json";
    Outcome captured = Displayinfo("--system-root '" + root + "' --capture '" + capture + "'");
    ASSERT_EQ(captured.status, 0) << captured.err;
    const std::string message =
        "displayinfo: live machine: " + edid +
        ": the EDID has 1 bytes, fewer than the 128 of its base block; the monitor is reported "
        "without EDID\n";
    EXPECT_EQ(captured.err, message);

    Outcome live = Displayinfo("--format json --system-root '" + root + "'");
    Outcome fromEnvironment =
        Displayinfo("--format json", "DISPLAYINFO_SYSTEM_ROOT='" + root + "'");
    Outcome replay = Displayinfo("--format json --machine '" + capture + "'");
    ASSERT_EQ(live.status, 0) << live.err;
    EXPECT_EQ(live.out, replay.out);
    EXPECT_EQ(fromEnvironment.out, replay.out);
    EXPECT_EQ(fromEnvironment.err, message);

    Outcome both = Displayinfo("--system-root '" + root + "' --machine '" + capture + "'");
    EXPECT_EQ(both.status, 2);
}
