#include <cstdlib>
#include <ctime>
#include <functional>
#include <map>
#include <sstream>
#include <tuple>
#include <utility>

#include "MonitorTesting.h"
#include "monitor/EdidParser.h"

namespace {

typedef std::function<void(EdidBlock&)> Change;

Change At(std::size_t offset, std::vector<int> values)
{
    return [=](EdidBlock& b) { b.Set(offset, values); };
}

// Display descriptor n as range limits: rates from byte 5, then the pixel clock.
Change Range(std::size_t n, std::vector<int> limits)
{
    return [=](EdidBlock& b) { b.Display(n, 0xFD, "").Set(59 + 18 * n, limits); };
}

// Extension blocks 1 and 2 with their tags; a digital interface 5 or 7 in byte 2.
Change Extensions(int count, int tag1, int tag2)
{
    return [=](EdidBlock& b) {
        b.Set(126, {count}).Set(128, {tag1, 0, 5}).Set(256, {tag2, 0, 7});
    };
}

// Parses the first bytesRead bytes from a buffer of exactly that size, so that
// AddressSanitizer sees a read past them.
edid::EdidInfo Parse(const EdidBlock& block, std::size_t bytesRead)
{
    const std::vector<std::uint8_t> bytes(block.bytes.begin(), block.bytes.begin() + bytesRead);
    return edid::ParseEdid(bytes.data(), bytes.size());
}

// The fields of a parse as text, by name.
std::map<std::string, std::string> Fields(const edid::EdidInfo& info)
{
    std::map<std::string, std::ostringstream> f;
    f["valid"] << info.valid;
    f["manufacturer"] << info.manufacturer;
    f["bytes"] << +info.version << "." << +info.revision << " " << +info.week << "/"
               << +info.year << " " << +info.horizontalSize << "x" << +info.verticalSize << " "
               << +info.gamma;
    f["name"] << info.name;
    f["serial"] << info.serialNumber;
    if (const auto& r = info.rangeLimits) {
        f["range"] << +r->minVerticalHz << "-" << +r->maxVerticalHz << "/"
                   << +r->minHorizontalKHz << "-" << +r->maxHorizontalKHz;
    }
    f["range"] << " " << (info.bandwidthMHz ? std::to_string(*info.bandwidthMHz) : "-");
    f["interface"] << (info.digitalInterface ? std::to_string(*info.digitalInterface) : "-");
    for (const edid::Descriptor& d : info.descriptors) {  // T: detailed timing, (tag): untagged
        f["descriptors"] << std::hex << " ";
        if (d.detailedTiming) {
            f["descriptors"] << "T";
        } else {
            f["descriptors"] << (d.tagged ? "" : "(") << +d.tag << (d.tagged ? "" : ")");
        }
    }
    f["scan"] << static_cast<int>(info.scanMode);  // 0 unknown, 1 progressive, 2 interlaced
    std::ostringstream& modes = f["modes"];
    for (const edid::Mode& m : info.modes) {
        modes << " " << m.horizontal << "x" << m.vertical << "@" << m.refresh;
    }
    std::map<std::string, std::string> texts;
    for (const auto& field : f) {
        texts[field.first] = field.second.str();
    }
    return texts;
}

// Checks "name=text;..." against what value answers for each name.
void ExpectItems(const std::string& items, const std::function<std::string(std::string)>& value)
{
    std::istringstream expected(items);
    for (std::string item; std::getline(expected, item, ';');) {
        const std::size_t equals = item.find('=');
        EXPECT_EQ(item.substr(equals + 1), value(item.substr(0, equals))) << items;
    }
}

TEST(EdidParserTest, DecodesEachFieldByItsRules)
{
    // Each case: the change to a valid block, the bytes read, "field=text;...".
    const std::vector<std::tuple<Change, std::size_t, std::string> > cases = {
        {At(8, {0x9E, 0x6D}), 128, "manufacturer=GSM"},  // bit 15 is not part of the code
        {At(8, {0x03, 0x7F}), 128, "manufacturer=@[_"},  // codes 0, 27, 31
        {At(8, {0, 0}), 128, "manufacturer="},
        {[](EdidBlock& b) { b.Display(1, 0xFC, "Gen 24  \nXY"); }, 128,
         "name=Gen 24  ;descriptors= 0 fc 0 0"},
        {[](EdidBlock& b) { b.Display(0, 0xFC, "\nA").Display(2, 0xFC, "B"); }, 128, "name="},
        {[](EdidBlock& b) { b.Display(0, 0xFC, "A").Set(61, {0, 'B'}); }, 128, "name=A"},
        {[](EdidBlock& b) { b.Display(2, 0xFC, "ABCDEFGHIJKLM").Timing(3, 0); }, 128,
         "name=ABCDEFGHIJKLM;descriptors= 0 0 fc T;scan=1"},
        {[](EdidBlock& b) { b.Display(0, 0xFC, "A").Set(56, {1}).Display(1, 0xFC, "B"); }, 128,
         "name=B;descriptors= (fc) fc 0 0"},
        {[](EdidBlock& b) { b.Timing(0, 0).Display(1, 0xFF, "SN-1\n").Display(2, 0xFF, "X"); }, 128,
         "serial=SN-1;name=;descriptors= T ff ff 0"},
        // The first descriptor's limits stand; a later one can only give the bandwidth.
        {[](EdidBlock& b) { Range(1, {50, 75, 30, 83, 0xFF})(b); Range(3, {1, 2, 3, 4, 5})(b); },
         128, "range=50-75/30-83 50"},
        {Extensions(1, 0x40, 0), 256, "interface=5"},
        {Extensions(2, 0x02, 0x40), 384, "interface=7"},
        {Extensions(1, 0x40, 0), 128, "interface=-"},    // only past 128 bytes
        {Extensions(1, 0x40, 0), 255, "interface=-"},    // block 1 not read whole
        {Extensions(255, 0x02, 0x40), 256, "interface=-"},  // block 2 not read
        {Extensions(0, 0x40, 0), 256, "interface=-"},
        // Blocks 1 to 15 fill the 2048-byte buffer; block 16 lies beyond it.
        {[](EdidBlock& b) { b.bytes.resize(2176); b.Set(126, {16}).Set(1920, {0x40, 0, 9}); }, 2176,
         "interface=9"},
        {[](EdidBlock& b) { b.bytes.resize(2176); b.Set(126, {16}).Set(2048, {0x40, 0, 9}); }, 2176,
         "interface=-"},
        // A short block reads as zero-padded.
        {At(19, {3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF}), 19,
         "valid=1;bytes=1.0 0/0 0x0 0;modes=;descriptors= 0 0 0 0"},
        {At(35, {0xFF}), 18, "valid=0"},
        {At(0, {}), 0, "valid=0"},
        // The checksum is not looked at; header and version are.
        {At(127, {0x55}), 128, "valid=1"},
        {At(0, {1}), 128, "valid=0"},
        {At(7, {0xFF}), 128, "valid=0"},
        {[](EdidBlock& b) { b.Set(8, {0x1E, 0x6D}).Set(18, {2, 3}).Display(0, 0xFC, "N"); }, 128,
         "valid=0;manufacturer=;bytes=0.0 0/0 0x0 0;name="},
        {At(18, {0}), 128, "valid=0"},
        {At(38, {0x01, 0x01, 0x00, 0xC0}), 128, "modes=;scan=0"},  // unused entries
        {[](EdidBlock& b) { b.Display(0, 0xFC, "N").Timing(1, 0x80); }, 128, "scan=2"},
        {[](EdidBlock& b) { b.Timing(1, 0x1E).Timing(2, 0x80); }, 128, "scan=1"},
    };
    for (const auto& c : cases) {
        EdidBlock block;
        std::get<0>(c)(block);
        const auto fields = Fields(Parse(block, std::get<1>(c)));
        ExpectItems(std::get<2>(c), [&](const std::string& name) { return fields.at(name); });
    }
}

// Local times are in UTC (support/UtcTimeZone.cpp) unless a test says otherwise.
class EdidDecoderTest : public MonitorFixture {
protected:
    TestMonitorInfo Collector() { return MonitorFixture::Collector("ORNSG_DesktopMonitor"); }
};

TEST_F(EdidDecoderTest, MapsTheParsedFieldsToProperties)
{
    EdidBlock full;
    full.Display(0, 0xFC, "Name");
    Extensions(1, 0x40, 0)(full);
    EdidBlock bare;
    bare.Set(16, {1, 3}).Set(24, {0x5F});
    const std::string kNone = "MonitorManufacturer=-;ManufacturingDate=-;HorizontalImageSize=-;"
                              "VerticalImageSize=-;Gamma=-;Name=-;SerialNumber=-;MinVertFreq=-;"
                              "MaxVertFreq=-;MinHorizFreq=-;MaxHorizFreq=-;Bandwidth=-;"
                              "SupportedDigitalInterface=-";
    const std::string kDate = "ManufacturingDate=datetime ";
    // Each case: the block, the bytes read, "Property=type text" or "Property=-".
    const std::vector<std::tuple<EdidBlock, DWORD, std::string> > cases = {
        {bare, 128,
         kNone + ";DPMSActiveOff=boolean false;DPMSSuspend=boolean true;DPMSStandby=boolean false"},
        // The whole base block counts however few bytes were read; at most the buffer does.
        {full, 10, "Name=string Name;SupportedDigitalInterface=-"},
        {full, 100000, "SupportedDigitalInterface=uint8 5"},
        // Dates from week 1 to 54 of 1994 on.
        {EdidBlock().Set(16, {54, 20}), 128, kDate + "20110107060000.000000+000"},
        {EdidBlock().Set(16, {1, 4}), 128, kDate + "19940101060000.000000+000"},
        {EdidBlock().Set(16, {0, 20}), 128, "ManufacturingDate=-"},
        {EdidBlock().Set(16, {55, 20}), 128, "ManufacturingDate=-"},
        {EdidBlock().Set(16, {255, 20}), 128, "ManufacturingDate=-"},
    };
    for (const auto& c : cases) {
        TestMonitorInfo monitor = Collector();
        ASSERT_EQ(0, monitor.DecodeEDID(std::get<0>(c).bytes.data(), std::get<1>(c)));
        ExpectItems(std::get<2>(c), [&](const std::string& n) { return monitor.Describe(n); });
    }
}

TEST_F(EdidDecoderTest, WarnsOfARejectedBlockAndOfAMissingDeviceId)
{
    EdidBlock version2;
    version2.Set(18, {2});
    TestMonitorInfo monitor = Collector();
    EXPECT_EQ(1, monitor.DecodeEDID(version2.bytes.data(), 128));
    EXPECT_EQ("-", monitor.Describe("EDIDVersion"));
    monitor.SetDeviceID("D");
    EXPECT_TRUE(monitor.DecodeResolutions(version2.bytes.data(), 128).empty());
    monitor.SetDeviceID("");
    EXPECT_TRUE(monitor.DecodeResolutions(EdidBlock().Set(35, {1}).bytes.data(), 128).empty());
    const std::string rejected = "EDID structure for monitor is not valid or not supported";
    EXPECT_EQ(std::vector<std::string>(
                  {rejected, rejected, "Monitor Resolution : Could not get Device ID"}),
              LogAt(2));
    EXPECT_TRUE(LogAt(3).empty());
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

// Each mode as "SettingID type WxH@R type scan", numbered for the device ID.
TEST_F(EdidDecoderTest, NumbersTheModesWithTheCimScanMode)
{
    // No detailed timing, a progressive and an interlaced one.
    const std::vector<std::pair<int, std::string> > cases = {{-1, "2"}, {0x1E, "4"}, {0x80, "5"}};
    for (const auto& c : cases) {
        EdidBlock block;
        block.Set(35, {0x21});
        if (c.first >= 0) {
            block.Timing(2, c.first);
        }
        TestMonitorInfo monitor = MonitorFixture::Collector("ORNSG_MonitorResolution");
        monitor.SetDeviceID("D");
        std::vector<std::string> modes;
        for (PropertyMap& m : monitor.DecodeResolutions(block.bytes.data(), 128)) {
            modes.push_back(m["SettingID"].ToString() + " " + m["RefreshRate"].GetType().GetName() +
                            " " + m["HorizontalResolution"].ToString() + "x" +
                            m["VerticalResolution"].ToString() + "@" + m["RefreshRate"].ToString() +
                            " " + m["ScanMode"].GetType().GetName() + " " +
                            m["ScanMode"].ToString());
        }
        EXPECT_EQ(std::vector<std::string>({"D\\ Setting 1 uint32 800x600@60 uint16 " + c.second,
                                            "D\\ Setting 2 uint32 640x480@60 uint16 " + c.second}),
                  modes);
    }
}

}  // namespace
