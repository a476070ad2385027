// Real monitors' EDID blocks decoded twice: by the monitor collector and by
// edid-decode, an independent decoder run as a child process. Every field
// both report must agree, apart from the differences listed below, each of
// which is ours on purpose and is accepted only on the blocks it fits.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "MonitorTesting.h"
#include "monitor/EdidParser.h"

namespace {

struct Sample {
    std::string file;
    std::vector<std::uint8_t> bytes;

    // Byte n of the base block.
    unsigned At(std::size_t n) const { return bytes.at(n); }
};

// One field of a block as the collector and as edid-decode give it.
struct Field {
    std::string name;
    std::string ours;
    std::string theirs;
};

// The standard output of a command; false when it did not run or failed.
bool RunCommand(const std::string& command, std::string& output)
{
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return false;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0;) {
        output.append(buffer, n);
    }
    const int status = pclose(pipe);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// edid-decode's report of the base block: its lines with the indentation
// removed, and the entries of its two timing lists.
struct Report {
    std::vector<std::string> lines;
    std::vector<std::string> established;
    std::vector<std::string> standard;

    // What follows ": " on the first line that starts with the words of key
    // ("Monitor ranges" finds "Monitor ranges (GTF): ..."); fallback when
    // there is none.
    std::string Value(const std::string& key, const std::string& fallback = "-") const
    {
        for (const std::string& line : lines) {
            if (line.compare(0, key.size(), key) == 0 && line.size() > key.size() &&
                (line[key.size()] == ':' || line[key.size()] == ' ')) {
                const std::size_t colon = line.find(": ");
                return colon == std::string::npos ? std::string() : line.substr(colon + 2);
            }
        }
        return fallback;
    }
    bool Has(const std::string& line) const
    {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

// A timing line such as "DMT 0x04:   640x480    59.940476 Hz   4:3 ..." as
// "640x480@59.940476"; an interlaced one keeps edid-decode's "i".
std::string TimingEntry(const std::string& line)
{
    static const std::regex timing(R"(: +(\d+x\d+i?) +([0-9.]+) Hz)");
    std::smatch match;
    return std::regex_search(line, match, timing) ? match[1].str() + "@" + match[2].str()
                                                  : "unreadable(" + line + ")";
}

Report ParseReport(const std::string& output)
{
    Report report;
    std::istringstream text(output);
    std::vector<std::string>* list = nullptr;
    for (std::string line; std::getline(text, line);) {
        // The base block's part ends with its checksum.
        if (line.compare(0, 9, "Checksum:") == 0) {
            break;
        }
        const std::size_t indent = line.find_first_not_of(' ');
        if (indent == std::string::npos) {
            continue;
        }
        const std::string trimmed = line.substr(indent);
        // A list's entries are indented further than its heading.
        if (indent == 2) {
            list = trimmed == "Established Timings I & II:" ? &report.established
                   : trimmed == "Standard Timings:"         ? &report.standard
                                                            : nullptr;
        } else if (list != nullptr) {
            list->push_back(TimingEntry(trimmed));
            continue;
        }
        report.lines.push_back(trimmed);
    }
    return report;
}

// Modes as "WxH@R" texts, rates rounded to whole hertz as ours are
// (edid-decode prints 59.940476 Hz for 640x480 at 60), sorted when order is
// not compared: edid-decode lists the established timings in an order of its own.
std::string ModeList(std::vector<std::string> entries, bool sorted)
{
    std::string text;
    for (std::string& entry : entries) {
        const std::size_t at = entry.find('@');
        if (at != std::string::npos) {
            const long rate = std::lround(std::strtod(entry.c_str() + at + 1, nullptr));
            entry = entry.substr(0, at + 1) + std::to_string(rate);
        }
    }
    if (sorted) {
        std::sort(entries.begin(), entries.end());
    }
    for (const std::string& entry : entries) {
        text += (text.empty() ? "" : " ") + entry;
    }
    return text;
}

std::vector<std::string> OurModes(const std::vector<edid::Mode>& modes)
{
    std::vector<std::string> entries;
    for (const edid::Mode& m : modes) {
        entries.push_back(std::to_string(m.horizontal) + "x" + std::to_string(m.vertical) + "@" +
                          std::to_string(m.refresh));
    }
    return entries;
}

// The modes of one kind alone: the block parsed again with the established
// timing bytes cleared, or with every standard timing marked unused.
std::vector<edid::Mode> ModesOfKind(const Sample& sample, bool established)
{
    std::vector<std::uint8_t> bytes = sample.bytes;
    if (established) {
        std::fill(bytes.begin() + 38, bytes.begin() + 54, 0x01);
    } else {
        bytes[35] = bytes[36] = 0;
    }
    return edid::ParseEdid(bytes.data(), bytes.size()).modes;
}

std::string Format(const char* format, double value)
{
    char text[32];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

// A difference between our rules and edid-decode's. apply changes
// edid-decode's value of the field into what our rules give when the block is
// one the difference fits, and tells whether it did.
struct Difference {
    std::string name;
    std::string field;
    std::string reason;
    std::function<bool(const Sample&, std::string&)> apply;
    int applied = 0;
};

// The offset of the first display descriptor with the tag, 0 when there is none.
std::size_t FirstDisplayDescriptor(const Sample& sample, unsigned tag)
{
    for (std::size_t offset = 54; offset < 126; offset += 18) {
        if (sample.At(offset) == 0 && sample.At(offset + 1) == 0 && sample.At(offset + 2) == 0 &&
            sample.At(offset + 3) == tag) {
            return offset;
        }
    }
    return 0;
}

// Replaces value by replacement when it is expected.
bool Replace(std::string& value, const std::string& expected, const std::string& replacement)
{
    if (value != expected) {
        return false;
    }
    value = replacement;
    return true;
}

std::vector<Difference> KnownDifferences()
{
    return {
        {"reserved 1152x870", "established timings",
         "1152x870 at 75 Hz, bit 7 of byte 37 (the manufacturer's timings), is not one of our "
         "established modes; edid-decode lists it",
         [](const Sample& s, std::string& theirs) {
             static const std::regex mode(R"((^| )1152x870@75)");
             if ((s.At(37) & 0x80) == 0 || !std::regex_search(theirs, mode)) {
                 return false;
             }
             theirs = std::regex_replace(theirs, mode, "");
             theirs.erase(0, theirs.find_first_not_of(' '));
             return true;
         }},
        {"640x480 at 72", "established timings",
         "640x480 at 72.808802 Hz, bit 3 of byte 35, carries the rate 72 it is known by; "
         "rounding edid-decode's rate gives 73",
         [](const Sample& s, std::string& theirs) {
             const std::size_t at = theirs.find("640x480@73");
             if ((s.At(35) & 0x08) == 0 || at == std::string::npos) {
                 return false;
             }
             theirs.replace(at, 10, "640x480@72");
             return true;
         }},
        {"week 0", "manufacturing date",
         "week 0 gives no date; edid-decode gives the year alone",
         [](const Sample& s, std::string& theirs) {
             if (s.At(16) != 0 || theirs.compare(0, 5, "year ") != 0) {
                 return false;
             }
             theirs = "-";
             return true;
         }},
        {"gamma byte 0", "gamma",
         "a gamma byte of 0 is taken as not given; edid-decode reads it as 1.00",
         [](const Sample& s, std::string& theirs) {
             return s.At(23) == 0 && Replace(theirs, "1.00", "-");
         }},
        {"empty serial text", "serial number text",
         "an empty serial number text gives no property; edid-decode prints ''",
         [](const Sample& s, std::string& theirs) {
             const std::size_t d = FirstDisplayDescriptor(s, 0xFF);
             return d != 0 && (s.At(d + 5) == 0x0A || s.At(d + 5) == 0) &&
                    Replace(theirs, "''", "-");
         }},
        {"range offsets", "range limits",
         "the rate offsets of EDID 1.4 (byte 4 of the range-limits descriptor) are not applied, "
         "so a rate byte reads as it stands; edid-decode adds 255 where an offset is flagged",
         [](const Sample& s, std::string& theirs) {
             const std::size_t d = FirstDisplayDescriptor(s, 0xFD);
             const unsigned flags = d == 0 ? 0 : s.At(d + 4);
             if (s.At(19) < 4 || (flags & 0x0A) == 0) {
                 return false;
             }
             // Bits 1 and 0: 10 offsets the maximum vertical rate, 11 both
             // vertical rates; bits 3 and 2 likewise the horizontal ones.
             const int offsets[4] = {(flags & 0x03) == 0x03 ? 255 : 0, (flags & 0x02) ? 255 : 0,
                                     (flags & 0x0C) == 0x0C ? 255 : 0, (flags & 0x08) ? 255 : 0};
             int rates[4];
             char rest[2];
             if (std::sscanf(theirs.c_str(), "%d-%d Hz V, %d-%d kHz %1s", &rates[0], &rates[1],
                             &rates[2], &rates[3], rest) != 5) {
                 return false;
             }
             for (int n = 0; n < 4; ++n) {
                 rates[n] -= offsets[n];
             }
             theirs = std::to_string(rates[0]) + "-" + std::to_string(rates[1]) + " Hz V, " +
                      std::to_string(rates[2]) + "-" + std::to_string(rates[3]) + " kHz H";
             return true;
         }},
    };
}

class EdidOracleTest : public MonitorFixture {
protected:
    // A property's value text, "-" when absent.
    static std::string Property(TestMonitorInfo& monitor, const std::string& name)
    {
        const std::string described = monitor.Describe(name);
        return described == "-" ? described : described.substr(described.find(' ') + 1);
    }

    std::vector<Field> Compare(const Sample& sample, const Report& report)
    {
        TestMonitorInfo monitor = Collector("ORNSG_DesktopMonitor");
        const DWORD size = static_cast<DWORD>(sample.bytes.size());
        EXPECT_EQ(0, monitor.DecodeEDID(sample.bytes.data(), size)) << sample.file;
        const auto property = [&](const std::string& name) { return Property(monitor, name); };
        const auto number = [&](const std::string& name, const char* format) {
            const std::string value = property(name);
            return value == "-" ? value : Format(format, std::strtod(value.c_str(), nullptr));
        };
        const auto quoted = [&](const std::string& name) {
            const std::string value = property(name);
            return value == "-" ? value : "'" + value + "'";
        };
        std::vector<Field> fields;

        fields.push_back(
            {"manufacturer", property("MonitorManufacturer"), report.Value("Manufacturer")});
        fields.push_back({"version", number("EDIDVersion", "%.1f"),
                          report.Value("EDID Structure Version & Revision")});

        // The day a week stands for is ours to choose, so edid-decode's week
        // and year go through our own conversion.
        std::string date = report.Value("Made in");
        static const std::regex weekOfYear(R"(week (\d+) of (\d+))");
        std::smatch match;
        if (std::regex_match(date, match, weekOfYear)) {
            date = monitor
                       .MakeManufacturingDate(static_cast<BYTE>(std::stoi(match[1].str())),
                                              static_cast<WORD>(std::stoi(match[2].str())))
                       .ToString();
        } else if (date != "-") {
            date = "year " + date;
        } else if (report.Value("Model year") != "-") {
            date = "model year " + report.Value("Model year");
        }
        fields.push_back({"manufacturing date", property("ManufacturingDate"), date});

        const std::string width = property("HorizontalImageSize");
        const std::string height = property("VerticalImageSize");
        fields.push_back({"image size",
                          width == "-" && height == "-" ? "none"
                                                        : width + " cm x " + height + " cm",
                          report.Has("Image size is variable")
                              ? "none"
                              : report.Value("Maximum image size", "not reported")});

        fields.push_back({"gamma", number("Gamma", "%.2f"), report.Value("Gamma")});

        std::string dpms;
        const char* const levels[][2] = {
            {"DPMSStandby", "Standby"}, {"DPMSSuspend", "Suspend"}, {"DPMSActiveOff", "Off"}};
        for (const auto& level : levels) {
            if (property(level[0]) == "true") {
                dpms += (dpms.empty() ? "" : " ") + std::string(level[1]);
            }
        }
        fields.push_back({"DPMS levels", dpms.empty() ? "none" : dpms,
                          report.Value("DPMS levels", "none")});

        fields.push_back({"product name", quoted("Name"), report.Value("Display Product Name")});
        fields.push_back({"serial number text", quoted("SerialNumber"),
                          report.Value("Display Product Serial Number")});

        // "56-76 Hz V, 31-80 kHz H, max dotclock 140 MHz" of the first
        // range-limits descriptor.
        const std::string ranges = report.Value("Monitor ranges");
        const std::size_t clock = ranges.find(", max dotclock ");
        const std::string oursRange =
            property("MinVertFreq") == "-"
                ? "-"
                : property("MinVertFreq") + "-" + property("MaxVertFreq") + " Hz V, " +
                      property("MinHorizFreq") + "-" + property("MaxHorizFreq") + " kHz H";
        fields.push_back({"range limits", oursRange, ranges.substr(0, clock)});
        const std::string bandwidth = property("Bandwidth");
        fields.push_back({"max dotclock", bandwidth == "-" ? bandwidth : bandwidth + " MHz",
                          clock == std::string::npos ? "-" : ranges.substr(clock + 15)});

        // The standard timings in entry order, the established ones as a set.
        fields.push_back({"established timings", ModeList(OurModes(ModesOfKind(sample, true)), true),
                          ModeList(report.established, true)});
        fields.push_back({"standard timings", ModeList(OurModes(ModesOfKind(sample, false)), false),
                          ModeList(report.standard, false)});
        return fields;
    }
};

TEST_F(EdidOracleTest, RealMonitorsDecodeAsEdidDecodeDecodesThem)
{
    std::string decoder;
    ASSERT_TRUE(RunCommand("command -v edid-decode", decoder))
        << "edid-decode is not on PATH; scripts/install-deps.sh installs it (Debian package "
           "edid-decode)";

    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(EDID_SAMPLES_DIR)) {
        if (entry.path().extension() == ".bin") {
            files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty()) << "no EDID blocks in " << EDID_SAMPLES_DIR;

    std::vector<Difference> differences = KnownDifferences();
    int comparisons = 0;
    for (const std::string& path : files) {
        Sample sample;
        sample.file = std::filesystem::path(path).filename().string();
        std::ifstream in(path, std::ios::binary);
        sample.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        ASSERT_GE(sample.bytes.size(), 128u) << sample.file;

        std::string output;
        const std::string command = "edid-decode --skip-hex-dump --skip-sha '" + path + "' 2>&1";
        ASSERT_TRUE(RunCommand(command, output))
            << "edid-decode failed on " << sample.file << ":\n"
            << output;
        for (Field& field : Compare(sample, ParseReport(output))) {
            const std::string printed = field.theirs;
            for (Difference& difference : differences) {
                if (difference.field == field.name && field.ours != field.theirs &&
                    difference.apply(sample, field.theirs)) {
                    ++difference.applied;
                }
            }
            ++comparisons;
            EXPECT_TRUE(field.ours == field.theirs)
                << sample.file << ": " << field.name << ": ours '" << field.ours
                << "', edid-decode's '" << printed << "'"
                << (printed == field.theirs
                        ? ""
                        : " (after the listed differences '" + field.theirs + "')");
        }
    }

    std::cout << "[ edid-decode ] " << files.size() << " blocks, " << comparisons
              << " field comparisons\n";
    RecordProperty("blocks", static_cast<int>(files.size()));
    RecordProperty("comparisons", comparisons);
    for (const Difference& difference : differences) {
        std::cout << "[ edid-decode ] " << difference.name << " (" << difference.field
                  << "): applied to " << difference.applied << " blocks\n";
        RecordProperty(difference.name, difference.applied);
        EXPECT_GT(difference.applied, 0)
            << "listed difference never applies: " << difference.name << ": " << difference.reason;
    }
}

}  // namespace
