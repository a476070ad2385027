#include <cstdlib>
#include <ctime>
#include <functional>
#include <sstream>
#include <tuple>
#include <utility>

#include "MonitorTesting.h"

namespace {

// Local times are in UTC (as CTest runs the tests) unless a test says otherwise.
class EdidDecoderTest : public MonitorFixture {
protected:
    TestMonitorInfo Collector() { return MonitorFixture::Collector("ORNSG_DesktopMonitor"); }
};

TEST_F(EdidDecoderTest, DecodesEachFieldByItsRules)
{
    auto set = [](std::size_t offset, std::vector<int> v) {
        return [=](EdidBlock& b) { b.Set(offset, v); };
    };
    auto range = [](std::size_t n, std::vector<int> limits) {
        return [=](EdidBlock& b) { b.Display(n, 0xFD, "").Set(59 + 18 * n, limits); };
    };
    auto extensions = [](int count, int tag1, int tag2) {
        return [=](EdidBlock& b) {
            b.Set(126, {count}).Set(128, {tag1, 0, 5}).Set(256, {tag2, 0, 7});
        };
    };
    const std::string kDate = "ManufacturingDate=datetime ", kNoDate = "ManufacturingDate=-";
    // Each case: the change to a valid block, the bytes read, "Property=type text" or "Property=-".
    const std::vector<std::tuple<std::function<void(EdidBlock&)>, DWORD, std::string> > cases = {
        {set(8, {0x9E, 0x6D}), 128, "MonitorManufacturer=string GSM;EDIDVersion=real32 1.3"},
        {set(8, {0x03, 0x7F}), 128, "MonitorManufacturer=string @[_"},  // codes 0, 27, 31
        {set(8, {0, 0}), 128, "MonitorManufacturer=-"},
        {set(16, {1, 20}), 128, kDate + "20100101060000.000000+000"},
        {set(16, {54, 20}), 128, kDate + "20110107060000.000000+000"},
        {set(16, {1, 4}), 128, kDate + "19940101060000.000000+000"},
        {set(16, {0, 20}), 128, kNoDate}, {set(16, {55, 20}), 128, kNoDate},
        {set(16, {255, 20}), 128, kNoDate}, {set(16, {1, 3}), 128, kNoDate},
        {set(23, {120, 0xA0}), 128,
         "Gamma=real32 2.2;DPMSActiveOff=boolean true;DPMSSuspend=boolean false;"
         "DPMSStandby=boolean true"},
        {set(24, {0x5F}), 128,
         "DPMSActiveOff=boolean false;DPMSSuspend=boolean true;DPMSStandby=boolean false"},
        {[](EdidBlock& b) { b.Display(1, 0xFC, "Gen 24  \nXY"); }, 128, "Name=string Gen 24  "},
        {[](EdidBlock& b) { b.Display(0, 0xFC, "\nA").Display(2, 0xFC, "B"); }, 128, "Name=-"},
        {[](EdidBlock& b) { b.Display(2, 0xFC, "ABCDEFGHIJKLM").Timing(3, 0); }, 128,
         "Name=string ABCDEFGHIJKLM"},
        {[](EdidBlock& b) { b.Display(0, 0xFC, "A").Set(56, {1}).Display(1, 0xFC, "B"); }, 128,
         "Name=string B"},
        {[](EdidBlock& b) { b.Timing(0, 0).Display(1, 0xFF, "SN-1\n").Display(2, 0xFF, "X"); }, 128,
         "SerialNumber=string SN-1;Name=-"},
        {range(1, {50, 75, 30, 83, 17}), 128,
         "MinVertFreq=uint8 50;MaxVertFreq=uint8 75;MinHorizFreq=uint8 30;MaxHorizFreq=uint8 "
         "83;Bandwidth=uint32 170"},
        {range(0, {50, 75, 30, 83, 0xFF}), 128, "MaxHorizFreq=uint8 83;Bandwidth=-"},
        // Values already there stand, so a later descriptor can only add the bandwidth.
        {[&](EdidBlock& b) { range(1, {50, 75, 30, 83, 0xFF})(b); range(3, {1, 2, 3, 4, 5})(b); },
         128, "MinVertFreq=uint8 50;MaxHorizFreq=uint8 83;Bandwidth=uint32 50"},
        {extensions(1, 0x40, 0), 256, "SupportedDigitalInterface=uint8 5"},
        {extensions(2, 0x02, 0x40), 384, "SupportedDigitalInterface=uint8 7"},
        {extensions(1, 0x40, 0), 128, "SupportedDigitalInterface=-"},  // only past 128 bytes
        {extensions(1, 0x40, 0), 255, "SupportedDigitalInterface=-"},  // block 1 not read whole
        {extensions(255, 0x02, 0x40), 256, "SupportedDigitalInterface=-"},  // block 2 not read
        {extensions(0, 0x40, 0), 256, "SupportedDigitalInterface=-"},
    };
    for (const auto& c : cases) {
        EdidBlock block;
        std::get<0>(c)(block);
        TestMonitorInfo monitor = Collector();
        ASSERT_EQ(0, monitor.DecodeEDID(block.bytes.data(), std::get<1>(c))) << std::get<2>(c);
        std::istringstream expected(std::get<2>(c));
        for (std::string item; std::getline(expected, item, ';');) {
            const std::size_t equals = item.find('=');
            EXPECT_EQ(item.substr(equals + 1), monitor.Describe(item.substr(0, equals))) << item;
        }
    }
}

TEST_F(EdidDecoderTest, RejectsWrongHeaderOrVersionButNotChecksum)
{
    const int cases[][3] = {{0, 1, 1}, {7, 0xFF, 1}, {18, 2, 1}, {18, 0, 1}, {127, 0x55, 0}};
    for (const auto& c : cases) {
        Host().Reset();
        EdidBlock block;
        block.Set(static_cast<std::size_t>(c[0]), {c[1]});
        TestMonitorInfo monitor = Collector();
        EXPECT_EQ(c[2], monitor.DecodeEDID(block.bytes.data(), 128)) << c[0];
        EXPECT_EQ(c[2] == 0 ? "real32 1.3" : "-", monitor.Describe("EDIDVersion"));
        const std::string warning = "EDID structure for monitor is not valid or not supported";
        EXPECT_EQ(c[2] == 0 ? std::vector<std::string>() : std::vector<std::string>{warning},
                  LogAt(2));
    }
}

TEST_F(EdidDecoderTest, DateIsSixInTheMorningLocalTimeWithTheZonesOffset)
{
    const auto zone = [this](int result, int bias, int daylightBias) {
        LoadMachine(R"({"timeZone": {"result": )" + std::to_string(result) + R"(, "bias": )" +
                    std::to_string(bias) + R"(, "daylightBias": )" + std::to_string(daylightBias) +
                    "}}");
    };
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
    zone(1, -60, -60);
    EXPECT_EQ("20100101060000.000000+060", Collector().MakeManufacturingDate(1, 2010).ToString());
    setenv("TZ", "UTC", 1);
    tzset();
    zone(2, -60, -60);  // the daylight bias counts in daylight time only
    EXPECT_EQ(120, Collector().GetUTCOffsetMinutes());
}

class ResolutionTest : public MonitorFixture {
protected:
    // Each mode as "SettingID WxH@R scan S".
    std::vector<std::string> Modes(const EdidBlock& block)
    {
        TestMonitorInfo monitor = Collector("ORNSG_MonitorResolution");
        monitor.SetDeviceID("D");
        std::vector<std::string> modes;
        for (PropertyMap& mode : monitor.DecodeResolutions(block.bytes.data(), 128)) {
            modes.push_back(
                mode["SettingID"].ToString() + " " + mode["HorizontalResolution"].ToString() + "x" +
                mode["VerticalResolution"].ToString() + "@" + mode["RefreshRate"].ToString() +
                " scan " + mode["ScanMode"].ToString());
        }
        return modes;
    }
};

TEST_F(ResolutionTest, StandardTimingsWithTheScanModeOfTheFirstDetailedTiming)
{
    auto at = [](std::size_t offset, std::vector<int> entry) {
        return [=](EdidBlock& b) { b.Set(offset, entry); };
    };
    const std::vector<std::pair<std::function<void(EdidBlock&)>, std::string> > cases = {
        {at(38, {0x01, 0x01}), ""},  // unused entries
        {at(40, {0x01, 0xC0}), ""},
        {at(42, {0xD1, 0xC0}), "1920x1080@60 scan 2"},
        {at(44, {0x81, 0x80}), "1280x1024@60 scan 2"},
        {at(46, {0x81, 0x00}), "1280x800@60 scan 2"},
        {at(52, {0x81, 0x4F}), "1280x960@75 scan 2"},
        {[](EdidBlock& b) { b.Set(38, {0x81, 0x80}).Display(0, 0xFC, "N").Timing(1, 0x80); },
         "1280x1024@60 scan 5"},
        {[](EdidBlock& b) { b.Set(38, {0x81, 0x80}).Timing(1, 0x1E).Timing(2, 0x80); },
         "1280x1024@60 scan 4"}};
    for (const auto& c : cases) {
        EdidBlock block;
        c.first(block);
        EXPECT_EQ(c.second.empty() ? std::vector<std::string>()
                                   : std::vector<std::string>{"D\\ Setting 1 " + c.second},
                  Modes(block));
    }
}

TEST_F(ResolutionTest, ListsEstablishedTimingsInBitOrderThenStandardTimings)
{
    EdidBlock block;
    block.Set(35, {0xFF, 0xFF}).Set(38, {0x45, 0x40});
    // The first mode comes again, as a standard timing.
    std::istringstream modes(
        "800x600@60 800x600@56 640x480@75 640x480@72 640x480@67 640x480@60 720x400@88 "
        "720x400@70 1280x1024@75 1024x768@75 1024x768@70 1024x768@60 1024x768@87 832x624@75 "
        "800x600@75 800x600@72 800x600@60");
    std::vector<std::string> expected;
    for (std::string mode; modes >> mode;) {
        expected.push_back("D\\ Setting " + std::to_string(expected.size() + 1) + " " + mode +
                           " scan 2");
    }
    EXPECT_EQ(expected, Modes(block));
}

}  // namespace
