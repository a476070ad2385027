#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
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
// environment prefix; standard output goes to a file, or to output. A run
// that hangs (reading a FIFO, say) is ended after a minute.
Outcome Displayinfo(const std::string& arguments, const std::string& environment = "",
                    const std::string& output = "")
{
    std::string base = ::testing::TempDir() + "displayinfo_run";
    std::string command = "env -u DISPLAYINFO_MACHINE -u DISPLAYINFO_SYSTEM_ROOT " + environment +
                          " timeout 60 '" DISPLAYINFO_EXE "' " + arguments + " >" +
                          (output.empty() ? base + ".out" : output) + " 2>" + base + ".err";
    std::remove((base + ".out").c_str());
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

TEST(DisplayinfoTest, ExitStatusesAndStandardErrorNameWhatWentWrong)
{
    std::string malformed = WriteTemp("malformed.json", "{\"displayDevices\": [{\"deviceNam\": 1}]}");
    const std::string file = WriteTemp("plain-file", "");
    const std::string folder = ::testing::TempDir() + "a-folder";
    const std::string fifo = ::testing::TempDir() + "a-fifo";
    const std::string capture = ::testing::TempDir() + "not-written.json";
    ASSERT_EQ(0, std::system(("mkdir -p '" + folder + "' && rm -f '" + fifo + "' '" + capture +
                              "' && mkfifo '" + fifo + "'").c_str()));
    const std::string workstation = "--machine '" EXAMPLES_DIR "/workstation.json' ";
    const std::string fixture = "--system-root '" SYSFS_FIXTURES_DIR "/not-on-pci' ";
    struct Case {
        std::string arguments;
        std::string environment;
        int status;
        std::string inMessage;  // on standard error, which is empty when this is
        std::string output = "";  // where standard output goes, if not to a file
    } cases[] = {
        // Standard error echoes the log from the chosen level on.
        {workstation + "ORNSG_VideoBios", "", 0, ""},
        {workstation + "--log-level info ORNSG_VideoBios", "", 0,
         "info: TDisplayInfoCallbacks::Init - Initializing the plugin.\n"},
        // --version ends well, before any request.
        {"--version", "", 0, ""},
        {"--format xml", "", 2, "--format"},
        {"--log-level loud", "", 2, "--log-level"},
        {"--no-such-option", "", 2, "no-such-option"},
        {"--format json --format mof", "", 2, "--format is given 2 times"},
        {"NoSuchClass", "", 2, "unknown class \"NoSuchClass\"; the classes are ORNSG_VideoController,"},
        {"--machine /nonexistent/machine.json", "", 1, "/nonexistent/machine.json"},
        {"--machine '" + malformed + "'", "", 1, "/displayDevices/0"},
        {"", "DISPLAYINFO_MACHINE='" + malformed + "'", 1, "malformed.json"},
        {"--machine '" + folder + "'", "", 1, folder + ": is a directory"},
        {"--machine '" + fifo + "'", "", 1, fifo + ": is a FIFO"},
        // An empty name is not the live machine.
        {"--machine ''", "", 2, "--machine is given an empty value"},
        {"", "DISPLAYINFO_MACHINE=", 2, "DISPLAYINFO_MACHINE is set but empty"},
        {"", "DISPLAYINFO_SYSTEM_ROOT=", 2, "DISPLAYINFO_SYSTEM_ROOT is set but empty"},
        // A root that is not a folder is no machine without displays.
        {"--system-root /nonexistent", "", 1, "/nonexistent: No such file or directory"},
        {"--system-root '" + file + "'", "", 1, file + " is not a folder"},
        {"--system-root /nonexistent --capture '" + capture + "'", "", 1, "/nonexistent"},
        {"--system-root '" SYSFS_FIXTURES_DIR "/empty'", "", 0,
         "displayinfo: no display hardware found: no display output in " SYSFS_FIXTURES_DIR
         "/empty/sys/class/drm\n"},
        {fixture + "--capture '" + folder + "'", "", 1, "cannot write " + folder + ": Is a directory"},
        // Output that is lost is no answer.
        {workstation + "ORNSG_VideoBios", "", 1, "cannot write standard output: No space left",
         "/dev/full"},
        {workstation + "--format json ORNSG_VideoBios", "", 1, "No space left", "/dev/full"},
        {fixture + "--capture -", "", 1, "No space left", "/dev/full"},
        {"--help", "", 1, "No space left", "/dev/full"},
        {workstation + "--plugin /nonexistent/libplugin.so", "", 1,
         "cannot load the plug-in /nonexistent/libplugin.so"},
        {workstation, "DISPLAYINFO_INJECT_FAULT=nonsense", 2, "DISPLAYINFO_INJECT_FAULT"},
        {workstation, "DISPLAYINFO_INJECT_FAULT=GetNames:1:x", 2, "GetNames"},
        // The plug-in's first host call asks the first class for its name,
        // outside any place that catches; a failed scoping name is logged.
        {workstation, "DISPLAYINFO_INJECT_FAULT=AnyOperation:1:boom", 3, "boom"},
        {workstation, "DISPLAYINFO_INJECT_FAULT='GetSystemName:2:no name'", 0, "error: no name"},
    };
    for (const Case& c : cases) {
        Outcome run = Displayinfo(c.arguments, c.environment, c.output);
        EXPECT_EQ(c.status, run.status) << c.arguments << c.environment;
        EXPECT_TRUE(c.inMessage.empty() ? run.err.empty()
                                        : run.err.find(c.inMessage) != std::string::npos)
            << run.err;
        // Every line says whose it is; a message is given once.
        std::istringstream lines(run.err);
        for (std::string line; std::getline(lines, line);) {
            EXPECT_EQ(0u, line.rfind("displayinfo: ", 0)) << line;
        }
        if (!c.inMessage.empty()) {
            EXPECT_EQ(run.err.find(c.inMessage), run.err.rfind(c.inMessage)) << run.err;
        }
        if (c.status == 1 || c.status == 2) {
            EXPECT_TRUE(run.out.empty()) << c.arguments << c.environment;
        }
    }
    EXPECT_NE(0, std::system(("test -e '" + capture + "'").c_str()));
}

TEST(DisplayinfoTest, HelpGivesDefaultsExitStatusesAndEnvironment)
{
    Outcome run = Displayinfo("--help");
    ASSERT_EQ(0, run.status) << run.err;
    for (const char* text : {"--machine FILE", "--system-root DIR", "(default: mof)",
                             "(default: warning)", "Exit status:", "  3  an exception",
                             "DISPLAYINFO_MACHINE ", "DISPLAYINFO_SYSTEM_ROOT ",
                             "DISPLAYINFO_INJECT_FAULT ", "ORNSG_MonitorSetting"}) {
        EXPECT_NE(std::string::npos, run.out.find(text)) << text;
    }
}

// A request names what it asks for once and in any letter case; an
// association asked for without its end classes links what a request for
// all classes links; only the classes asked for are printed, and the log
// keeps the whole request.
TEST(DisplayinfoTest, EachClassAloneGivesWhatARequestForAllGives)
{
    const std::string machine = "--format json --machine '" EXAMPLES_DIR "/workstation.json' ";
    Outcome all = Displayinfo(machine);
    ASSERT_EQ(0, all.status) << all.err;
    const auto everything = nlohmann::json::parse(all.out).at("instances");
    const struct {
        std::string asked;
        std::vector<std::string> printed;
        std::size_t requested;  // classes in the request the log shows
    } cases[] = {
        {"ORNSG_MonitorSetting", {"ORNSG_MonitorSetting"}, 3},
        {"ORNSG_BiosOfVideoController", {"ORNSG_BiosOfVideoController"}, 3},
        {"ORNSG_HeadOfVideoController ORNSG_VideoController ORNSG_VideoHead",
         {"ORNSG_VideoController", "ORNSG_VideoHead", "ORNSG_HeadOfVideoController"}, 3},
        {"ornsg_videocontroller ORNSG_VIDEOCONTROLLER", {"ORNSG_VideoController"}, 1},
        {"ORNSG_DesktopMonitor ORNSG_DesktopMonitor", {"ORNSG_DesktopMonitor"}, 1},
    };
    for (const auto& c : cases) {
        Outcome run = Displayinfo(machine + c.asked);
        ASSERT_EQ(0, run.status) << c.asked << run.err;
        nlohmann::json expected = nlohmann::json::array();
        for (const auto& instance : everything) {
            for (const std::string& name : c.printed) {
                if (instance.at("class") == name) {
                    expected.push_back(instance);
                }
            }
        }
        const auto document = nlohmann::json::parse(run.out);
        EXPECT_FALSE(expected.empty()) << c.asked;
        EXPECT_EQ(expected, document.at("instances")) << c.asked;
        std::size_t requests = 0;
        for (const std::string& text : LogTexts(document)) {
            requests += text.rfind("TDisplayInfoCallbacks::GetData - Received request", 0) == 0;
        }
        EXPECT_EQ(c.requested, requests) << c.asked;
        const char* const levelNames[] = {"error", "level 1", "warning", "info", "debug"};
        for (const auto& line : document.at("log")) {
            EXPECT_EQ(levelNames[line.at("level").get<int>()], line.at("levelName"));
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

// A machine's dates are in the machine's zone, whatever the zone of the
// process that replays it; a machine that names no zone is in UTC.
TEST(DisplayinfoTest, AMachineGivesOneOutputInEveryProcessZone)
{
    auto daylight = nlohmann::json::parse(ReadFile(EXAMPLES_DIR "/workstation.json"));
    daylight["timeZone"] = {{"result", 2}, {"bias", 300}, {"daylightBias", -60}};
    const std::string machines[] = {EXAMPLES_DIR "/workstation.json", EXAMPLES_DIR "/laptop.json",
                                    WriteTemp("daylight.json", daylight.dump())};
    // Zone rules that need no zone database: New York, India, the Chatham
    // Islands (daylight saving time in the southern summer).
    const char* const zones[] = {"EST5EDT,M3.2.0,M11.1.0", "IST-5:30",
                                 "<+1245>-12:45<+1345>,M9.5.0/2:45,M4.1.0/3:45"};
    for (const std::string& machine : machines) {
        const std::string arguments = "--machine '" + machine + "' ORNSG_DesktopMonitor";
        Outcome utc = Displayinfo(arguments, "TZ=UTC");
        ASSERT_EQ(0, utc.status) << utc.err;
        ASSERT_NE(std::string::npos, utc.out.find("ManufacturingDate")) << machine;
        for (const char* zone : zones) {
            EXPECT_EQ(utc.out, Displayinfo(arguments, std::string("TZ='") + zone + "'").out)
                << machine << " in " << zone;
        }
    }
    // Week 32 of 2020 at 6:00 in the daylight time the machine was captured in.
    EXPECT_NE(std::string::npos,
              Displayinfo("--machine '" + machines[2] + "' ORNSG_DesktopMonitor", "TZ=UTC")
                  .out.find("ManufacturingDate = \"20200805060000.000000-240\";"));
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

    // "-" is standard output, not a file of that name.
    Outcome toOutput = Displayinfo("--system-root '" + root + "' --capture -");
    EXPECT_EQ(0, toOutput.status);
    EXPECT_EQ(ReadFile(capture), toOutput.out);
    EXPECT_NE(0, std::system("test -e -"));

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
