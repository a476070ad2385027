#pragma once
#include <cstdint>
#include <string>

#include "host/KvtApi.h"

namespace NORNKVT20 {

// A CIM datetime: a point in time with its offset from UTC in minutes.
// Null until Set is called.
class KVTCORE_API TCIMDateTime {
public:
    TCIMDateTime();

    // Throws TKVTException, leaving the datetime as it was, for a field that
    // the text cannot hold. An offset beyond +-999 minutes makes the text
    // give the same instant in UTC, with offset +000.
    void Set(std::uint16_t year, std::uint16_t month, std::uint32_t day, std::uint16_t hour,
             std::uint16_t minute, std::uint16_t second, std::uint32_t microseconds,
             std::int16_t utcOffsetMinutes);
    bool IsNull() const;

    // DMTF text: yyyymmddHHMMSS.mmmmmmsUUU (empty when null).
    std::string ToString() const;

private:
    bool m_null;
    std::uint16_t m_year;
    std::uint16_t m_month;
    std::uint32_t m_day;
    std::uint16_t m_hour;
    std::uint16_t m_minute;
    std::uint16_t m_second;
    std::uint32_t m_microseconds;
    std::int16_t m_utcOffsetMinutes;
};

}  // namespace NORNKVT20
