#pragma once
// The computer name and the time zone, as Windows would give them.
#include <optional>
#include <string>

#include "machine/Machine.h"

namespace capture::sysfs {

// The NetBIOS form of a host name: up to the first dot, upper case, at most
// 15 characters. Characters other than printable ASCII are dropped (Windows
// does not allow them in a computer name); an empty result is "LOCALHOST".
std::string NetBiosName(const std::string& hostName);

// The host name in that form: root/proc/sys/kernel/hostname where it can be
// read, else this system's host name.
std::string LocalComputerName(const std::string& root);

// A zone by its UTC offsets (seconds east of UTC): the standard one, the
// daylight-saving one if the zone has daylight saving time this year, and
// whether it is in force now.
struct ZoneOffsets {
    long standardOffset = 0;
    std::optional<long> daylightOffset;
    bool daylightNow = false;
};

// The C library's local zone (TZ), sampled now and at the middle of January
// and of July of this year.
ZoneOffsets LocalZoneOffsets();

// The zone as GetTimeZoneInformation would give it: the bias is -(standard
// offset in minutes); a zone with daylight saving time is
// TIME_ZONE_ID_STANDARD (1) or TIME_ZONE_ID_DAYLIGHT (2) with the daylight
// bias -(daylight - standard offset in minutes); one without is
// TIME_ZONE_ID_UNKNOWN (0) with daylight bias 0. The standard bias is 0.
machine::TimeZone WindowsTimeZone(const ZoneOffsets& zone);

}  // namespace capture::sysfs
