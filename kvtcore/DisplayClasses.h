#pragma once
// The eight classes the display-information plug-in serves, in the order a
// request for all of them names them: end classes before the associations
// that are built from them.
namespace kvtcore {

inline constexpr const char* kDisplayClasses[] = {
    "ORNSG_VideoController",       "ORNSG_VideoHead",             "ORNSG_VideoBios",
    "ORNSG_BiosOfVideoController", "ORNSG_HeadOfVideoController", "ORNSG_DesktopMonitor",
    "ORNSG_MonitorResolution",     "ORNSG_MonitorSetting",
};

}  // namespace kvtcore
