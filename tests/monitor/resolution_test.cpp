#include <functional>

#include "MonitorTesting.h"

namespace {

class ResolutionTest : public MonitorFixture {
protected:
    // Each mode as "SettingID WxH@R scan S", checking the types on the way.
    std::vector<std::string> Modes(const EdidBlock& block, const std::string& deviceId = "D")
    {
        TestMonitorInfo monitor = Collector("ORNSG_MonitorResolution");
        monitor.SetDeviceID(deviceId);
        std::vector<std::string> modes;
        for (PropertyMap& mode : monitor.DecodeResolutions(block.bytes.data(), 128)) {
            EXPECT_EQ(5u, mode.size());
            EXPECT_EQ("string uint32 uint16", mode["SettingID"].GetType().GetName() + " " +
                                                  mode["RefreshRate"].GetType().GetName() + " " +
                                                  mode["ScanMode"].GetType().GetName());
            modes.push_back(
                mode["SettingID"].ToString() + " " + mode["HorizontalResolution"].ToString() + "x" +
                mode["VerticalResolution"].ToString() + "@" + mode["RefreshRate"].ToString() +
                " scan " + mode["ScanMode"].ToString());
        }
        return modes;
    }
};

TEST_F(ResolutionTest, DecodesStandardTimingsAndSkipsUnusedEntries)
{
    const std::vector<std::pair<std::vector<int>, std::string> > cases = {
        {{0x01, 0x01}, ""}, {{0x01, 0xC0}, ""}, {{0x00, 0x40}, ""},
        {{0xD1, 0xC0}, "1920x1080@60"}, {{0x81, 0x80}, "1280x1024@60"},
        {{0x81, 0x00}, "1280x800@60"}, {{0x81, 0x4F}, "1280x960@75"},
        {{0x02, 0x00}, "264x165@60"}, {{0xA9, 0x40}, "1600x1200@60"}};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EdidBlock block;
        block.Set(38 + 2 * (i % 8), cases[i].first);  // every entry position is read
        const std::string mode = "D\\ Setting 1 " + cases[i].second + " scan 2";
        EXPECT_EQ(
            cases[i].second.empty() ? std::vector<std::string>() : std::vector<std::string>{mode},
            Modes(block));
    }
    EXPECT_TRUE(LogAt(2).empty());
}

TEST_F(ResolutionTest, ListsEstablishedTimingsInBitOrderThenStandardTimings)
{
    EdidBlock block;
    block.Set(35, {0xFF, 0xFF}).Set(38, {0x45, 0x40});
    const char* const expected[] = {"800x600@60",   "800x600@56",  "640x480@75",  "640x480@72",
                                    "640x480@67",   "640x480@60",  "720x400@88",  "720x400@70",
                                    "1280x1024@75", "1024x768@75", "1024x768@70", "1024x768@60",
                                    "1024x768@87",  "832x624@75",  "800x600@75",  "800x600@72",
                                    "800x600@60"};  // the first mode again, as a standard timing
    const std::vector<std::string> modes = Modes(block, "DISPLAY\\X\\1");
    ASSERT_EQ(17u, modes.size());
    for (std::size_t i = 0; i < modes.size(); ++i) {
        EXPECT_EQ(
            "DISPLAY\\X\\1\\ Setting " + std::to_string(i + 1) + " " + expected[i] + " scan 2",
            modes[i]);
    }
}

TEST_F(ResolutionTest, ScanModeComesFromTheFirstDetailedTiming)
{
    const std::vector<std::pair<std::function<void(EdidBlock&)>, std::string> > cases = {
        {[](EdidBlock&) {}, "2"},
        {[](EdidBlock& b) { b.Display(0, 0xFC, "N").Timing(1, 0x80); }, "5"},
        {[](EdidBlock& b) { b.Timing(1, 0x1E).Timing(2, 0x80); }, "4"}};
    for (const auto& c : cases) {
        EdidBlock block;
        c.first(block.Set(36, {0x10}));
        EXPECT_EQ(std::vector<std::string>{"D\\ Setting 1 1024x768@87 scan " + c.second},
                  Modes(block));
    }
}

TEST_F(ResolutionTest, GivesNothingWithoutDeviceIdOrValidBlock)
{
    EdidBlock block;
    EXPECT_TRUE(Modes(block.Set(35, {0x01}), "").empty());
    EXPECT_TRUE(Modes(block.Set(18, {2})).empty());
    EXPECT_EQ(
        (std::vector<std::string>{"Monitor Resolution : Could not get Device ID",
                                  "EDID structure for monitor is not valid or not supported"}),
        LogAt(2));
}

}  // namespace
