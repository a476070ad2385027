#include <cstdlib>
#include <ctime>
#include <functional>
#include <sstream>
#include <tuple>

#include "MonitorTesting.h"

namespace {

typedef std::function<void(EdidBlock&)> Edit;

std::string TimeZoneMachine(int result, int bias, int daylightBias)
{
    return "{\"timeZone\": {\"result\": " + std::to_string(result) + ", \"bias\": " +
           std::to_string(bias) + ", \"daylightBias\": " + std::to_string(daylightBias) + "}}";
}

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
    const char* const kDate = "ManufacturingDate=datetime ";
    // Each case: the change to a valid block, the bytes read, "Property=type text" or "Property=-".
    const std::vector<std::tuple<Edit, DWORD, std::string> > cases = {
        {set(8, {0x1E, 0x6D}), 128, "MonitorManufacturer=string GSM"},
        {set(8, {0x9E, 0x6D}), 128, "MonitorManufacturer=string GSM"},  // bit 15 is reserved
        {set(8, {0x03, 0x7F}), 128, "MonitorManufacturer=string @[_"},  // codes 0, 27, 31
        {set(8, {0, 0}), 128, "MonitorManufacturer=-"},
        {set(19, {3}), 128, "EDIDVersion=real32 1.3"},
        {set(16, {1, 20}), 128, kDate + std::string("20100101060000.000000+000")},
        {set(16, {54, 20}), 128, kDate + std::string("20110107060000.000000+000")},
        {set(16, {1, 4}), 128, kDate + std::string("19940101060000.000000+000")},
        {set(16, {0, 20}), 128, "ManufacturingDate=-"},
        {set(16, {55, 20}), 128, "ManufacturingDate=-"},
        {set(16, {255, 20}), 128, "ManufacturingDate=-"},
        {set(16, {1, 3}), 128, "ManufacturingDate=-"},
        {set(21, {52, 0}), 128, "HorizontalImageSize=uint8 52;VerticalImageSize=-"},
        {set(23, {120}), 128, "Gamma=real32 2.2"},
        {set(23, {0}), 128, "Gamma=-"},
        {set(24, {0xA0}), 128,
         "DPMSActiveOff=boolean true;DPMSSuspend=boolean false;DPMSStandby=boolean true"},
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
        {[&](EdidBlock& b) {
             range(1, {50, 75, 30, 83, 0xFF})(b);
             range(3, {1, 2, 3, 4, 5})(b);
         },
         128, "MinVertFreq=uint8 50;MaxHorizFreq=uint8 83;Bandwidth=uint32 50"},
        {extensions(1, 0x40, 0), 256, "SupportedDigitalInterface=uint8 5"},
        {extensions(2, 0x02, 0x40), 384, "SupportedDigitalInterface=uint8 7"},
        {extensions(1, 0x40, 0), 128, "SupportedDigitalInterface=-"},
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

TEST_F(EdidDecoderTest, LogsDisplayDescriptorTagsOncePerScan)
{
    EdidBlock block;
    block.Display(0, 0xFC, "N").Display(1, 0xFD, "").Timing(2, 0).Display(3, 0xFF, "S");
    Collector().DecodeEDID(block.bytes.data(), 128);
    std::string tags;
    for (const std::string& line : LogAt(3)) {
        tags += line.substr(line.find(": ") + 2);
    }
    EXPECT_EQ("fc fc fd ff fc fd ff ", tags);  // the name scan stops at fc, the serial scan at ff
    EXPECT_EQ("Monitor Information EDID Tag: fc ", LogAt(3).at(0));
}

TEST_F(EdidDecoderTest, DateIsSixInTheMorningLocalTimeWithTheZonesOffset)
{
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
    LoadMachine(TimeZoneMachine(1, -60, -60));
    EXPECT_EQ("20100101060000.000000+060", Collector().MakeManufacturingDate(1, 2010).ToString());
    // Daylight time has begun by July: the same UTC hour reads 07:00.
    EXPECT_EQ("20100702070000.000000+060", Collector().MakeManufacturingDate(27, 2010).ToString());
    setenv("TZ", "UTC", 1);
    tzset();

    // Daylight bias counts only in daylight time; the arithmetic is 16 bits wide.
    const int offsets[][4] = {
        {2, -60, -60, 120}, {2, 300, -60, -240}, {0, -60, -60, 0}, {1, 65476, 0, 60}};
    for (const auto& c : offsets) {
        LoadMachine(TimeZoneMachine(c[0], c[1], c[2]));
        EXPECT_EQ(c[3], Collector().GetUTCOffsetMinutes()) << c[0] << " " << c[1];
    }
}

}  // namespace
