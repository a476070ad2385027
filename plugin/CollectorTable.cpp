#include "plugin/CollectorTable.h"

#include <cstddef>

#include "monitor/MonitorInfo.h"
#include "video/VideoInfo.h"

namespace {

enum CollectorKind { kVideo, kMonitor };

struct ClassEntry {
    const char* className;
    CollectorKind kind;
};

// Compared in this order, exactly and case-sensitively; the first hit decides.
const ClassEntry kServedClasses[] = {
    {"ORNSG_VideoController", kVideo},
    {"ORNSG_VideoHead", kVideo},
    {"ORNSG_VideoBios", kVideo},
    {"ORNSG_BiosOfVideoController", kVideo},
    {"ORNSG_HeadOfVideoController", kVideo},
    {"ORNSG_DesktopMonitor", kMonitor},
    {"ORNSG_MonitorResolution", kMonitor},
    {"ORNSG_MonitorSetting", kMonitor},
};

}  // namespace

TDisplay* CreateCollectorFor(const std::string& className,
                             boost::shared_ptr<NORNKVT20::ICIMClass> cls)
{
    for (std::size_t i = 0; i < sizeof(kServedClasses) / sizeof(kServedClasses[0]); ++i) {
        if (className == kServedClasses[i].className) {
            if (kServedClasses[i].kind == kVideo) {
                return new TVideoInfo(cls);
            }
            return new TMonitorInfo(cls);
        }
    }
    return nullptr;
}
