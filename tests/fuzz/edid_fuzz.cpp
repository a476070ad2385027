// libFuzzer target: arbitrary EDID blocks of 1 to 2048 bytes through the
// parser, then through the decoder and the resolution builder of the monitor
// collector.
//
// Input: one control byte, then the block. The parser gets the block in a heap
// buffer of exactly its size, short ones included, so AddressSanitizer reports
// any read past the bytes read. The collector gets it in a buffer of at least
// the 128-byte base block, which it always reads.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "collector/LogMessage.h"
#include "host/Host.h"
#include "kvtcore/HostControl.h"
#include "monitor/EdidParser.h"
#include "monitor/MonitorInfo.h"

namespace {

const std::uint8_t kLoggingOn = 0x01;
const std::uint8_t kWithDeviceId = 0x02;
const std::size_t kBaseBlockSize = 128;
const std::size_t kBufferSize = 2048;

NORNKVT20::TPluginManagerProvider& FuzzProvider()
{
    static NORNKVT20::TPluginManagerProvider provider(nullptr, "fuzz");
    return provider;
}

bool SameModes(const std::vector<edid::Mode>& a, const std::vector<edid::Mode>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const edid::Mode& x, const edid::Mode& y) {
                          return x.horizontal == y.horizontal && x.vertical == y.vertical &&
                                 x.refresh == y.refresh;
                      });
}

void CheckText(const std::string& text)
{
    FUZZ_CHECK(text.size() <= 13);
    FUZZ_CHECK(text.find('\n') == std::string::npos && text.find('\0') == std::string::npos);
}

void CheckParse(const std::vector<std::uint8_t>& block, const std::vector<std::uint8_t>& padded)
{
    const edid::EdidInfo info = edid::ParseEdid(block.data(), block.size());
    FUZZ_CHECK(info.descriptors.size() == 4);
    FUZZ_CHECK(info.modes.size() <= edid::kMaxModes);
    if (!info.valid) {
        FUZZ_CHECK(info.modes.empty() && info.manufacturer.empty() && info.name.empty() &&
                   !info.rangeLimits && !info.digitalInterface);
        return;
    }
    FUZZ_CHECK(info.version == 1);
    FUZZ_CHECK(info.manufacturer.empty() || info.manufacturer.size() == 3);
    CheckText(info.name);
    CheckText(info.serialNumber);
    FUZZ_CHECK(!info.bandwidthMHz || info.rangeLimits);
    // Only a complete extension block counts.
    FUZZ_CHECK(!info.digitalInterface || block.size() >= 2 * kBaseBlockSize);
    for (const edid::Mode& mode : info.modes) {
        FUZZ_CHECK(mode.horizontal >= 256 && mode.vertical > 0 && mode.refresh >= 56);
    }
    const bool anyTiming =
        std::any_of(info.descriptors.begin(), info.descriptors.end(),
                    [](const edid::Descriptor& d) { return d.detailedTiming; });
    FUZZ_CHECK(anyTiming == (info.scanMode != edid::ScanMode::Unknown));

    // A short block reads as zero-padded: the same as the block in a zeroed
    // buffer of the base block's size.
    const edid::EdidInfo same = edid::ParseEdid(padded.data(), padded.size());
    FUZZ_CHECK(same.valid && same.manufacturer == info.manufacturer && same.name == info.name &&
               same.serialNumber == info.serialNumber && same.revision == info.revision &&
               same.digitalInterface == info.digitalInterface && SameModes(same.modes, info.modes));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2 || size - 1 > kBufferSize) {
        return 0;
    }
    const std::uint8_t control = data[0];
    const std::size_t edidSize = size - 1;
    const std::vector<std::uint8_t> block(data + 1, data + size);
    std::vector<std::uint8_t> padded(std::max(edidSize, kBaseBlockSize), 0);
    std::copy(block.begin(), block.end(), padded.begin());

    CheckParse(block, padded);

    NORNKVT20::IHostControl* host = KvtGetHostControl();
    host->Reset();  // forgets the log lines of earlier inputs
    LogMessage::setProvider((control & kLoggingOn) != 0 ? &FuzzProvider() : nullptr);

    boost::shared_ptr<NORNKVT20::ICIMClass> monitorClass =
        host->CreateRequest()->GetCIMNamespace()->GetClass("ORNSG_DesktopMonitor",
                                                           NORNKVT20::PropertyMap());
    TMonitorInfo monitor(monitorClass);
    monitor.DecodeEDID(padded.data(), static_cast<DWORD>(edidSize));
    if ((control & kWithDeviceId) != 0) {
        monitor.SetDeviceID("DISPLAY\\FUZ0001\\1");
    }
    monitor.DecodeResolutions(padded.data(), static_cast<DWORD>(edidSize));

    LogMessage::setProvider(nullptr);
    return 0;
}
