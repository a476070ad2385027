#pragma once
// EDID blocks built byte by byte, and monitor collectors whose working map
// the tests can read.
#include <cstdint>
#include <string>
#include <vector>

#include "monitor/MonitorInfo.h"
#include "support/HostFixture.h"

// A valid EDID 1.3 block, zero apart from header and version, at the start
// of a buffer as large as the one the collector reads into.
struct EdidBlock {
    std::vector<BYTE> bytes = std::vector<BYTE>(2048, 0);

    EdidBlock() { Set(0, {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}).Set(18, {1, 3}); }
    EdidBlock& Set(std::size_t offset, const std::vector<int>& values)
    {
        for (int value : values) {
            bytes.at(offset++) = static_cast<BYTE>(value);
        }
        return *this;
    }
    // Display descriptor n (0 to 3) with its tag and the text from byte 5 on.
    EdidBlock& Display(std::size_t n, int tag, const std::string& text)
    {
        Set(54 + 18 * n, {0, 0, 0, tag, 0});
        return Set(59 + 18 * n, std::vector<int>(text.begin(), text.end()));
    }
    // Detailed timing descriptor n with the flags byte 17.
    EdidBlock& Timing(std::size_t n, int flags)
    {
        return Set(54 + 18 * n, {2, 0x3A}).Set(71 + 18 * n, {flags});
    }
    // The block as a monitor's EDID value holds it.
    std::vector<std::uint8_t> Block() const { return {bytes.begin(), bytes.begin() + 128}; }
};

class TestMonitorInfo : public TMonitorInfo {
public:
    using TMonitorInfo::TMonitorInfo;
    // "type text" of a recorded property, "-" when it is absent.
    std::string Describe(const std::string& name)
    {
        auto entry = m_properties.find(name);
        return entry == m_properties.end()
                   ? "-"
                   : entry->second.GetType().GetName() + " " + entry->second.ToString();
    }
};

class MonitorFixture : public HostFixture {
protected:
    // A collector holds its class by a plain pointer; the host keeps the class
    // alive for a request, here the fixture does.
    TestMonitorInfo Collector(const std::string& className)
    {
        m_classes.push_back(Class(className));
        return TestMonitorInfo(m_classes.back());
    }

private:
    std::vector<boost::shared_ptr<NORNKVT20::ICIMClass> > m_classes;
};
