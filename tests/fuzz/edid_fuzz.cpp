// libFuzzer target: arbitrary EDID blocks of 1 to 2048 bytes through the
// decoder and the resolution builder of the monitor collector.
//
// Input: one control byte, then the block. The block lies in a heap buffer
// of exactly its size (at least the 128-byte base block, which the decoder
// always reads), so AddressSanitizer reports any read past the bytes read.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/Host.h"
#include "kvtcore/HostControl.h"
#include "monitor/MonitorInfo.h"
#include "collector/LogMessage.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2 || size - 1 > kBufferSize) {
        return 0;
    }
    const std::uint8_t control = data[0];
    const std::size_t edidSize = size - 1;
    std::vector<BYTE> edid(std::max(edidSize, kBaseBlockSize), 0);
    std::copy(data + 1, data + size, edid.begin());

    NORNKVT20::IHostControl* host = KvtGetHostControl();
    host->Reset();  // forgets the log lines of earlier inputs
    LogMessage::setProvider((control & kLoggingOn) != 0 ? &FuzzProvider() : nullptr);

    boost::shared_ptr<NORNKVT20::ICIMClass> monitorClass =
        host->GetCIMNamespace()->GetClass("ORNSG_DesktopMonitor", NORNKVT20::PropertyMap());
    TMonitorInfo monitor(monitorClass);
    monitor.DecodeEDID(edid.data(), static_cast<DWORD>(edidSize));
    if ((control & kWithDeviceId) != 0) {
        monitor.SetDeviceID("DISPLAY\\FUZ0001\\1");
    }
    monitor.DecodeResolutions(edid.data(), static_cast<DWORD>(edidSize));

    LogMessage::setProvider(nullptr);
    return 0;
}
