#include "host/CIMDateTime.h"

#include <cstdio>
#include <cstdlib>

#include "host/KVTException.h"

namespace NORNKVT20 {

namespace {

void CheckField(const char* field, long value, long low, long high)
{
    if (value < low || value > high) {
        throw TKVTException("TCIMDateTime::Set: " + std::string(field) + " " +
                            std::to_string(value) + " is outside " + std::to_string(low) +
                            ".." + std::to_string(high));
    }
}

}  // namespace

TCIMDateTime::TCIMDateTime()
    : m_null(true),
      m_year(0),
      m_month(0),
      m_day(0),
      m_hour(0),
      m_minute(0),
      m_second(0),
      m_microseconds(0),
      m_utcOffsetMinutes(0)
{
}

// Every field must fit its place in the DMTF text; a value that does not is a
// caller's mistake and leaves the datetime as it was.
void TCIMDateTime::Set(std::uint16_t year, std::uint16_t month, std::uint32_t day,
                       std::uint16_t hour, std::uint16_t minute, std::uint16_t second,
                       std::uint32_t microseconds, std::int16_t utcOffsetMinutes)
{
    CheckField("year", year, 0, 9999);
    CheckField("month", month, 1, 12);
    CheckField("day", static_cast<long>(day), 1, 31);
    CheckField("hour", hour, 0, 23);
    CheckField("minute", minute, 0, 59);
    CheckField("second", second, 0, 60);  // 60 for a leap second
    CheckField("microseconds", static_cast<long>(microseconds), 0, 999999);
    CheckField("UTC offset", utcOffsetMinutes, -999, 999);

    m_null = false;
    m_year = year;
    m_month = month;
    m_day = day;
    m_hour = hour;
    m_minute = minute;
    m_second = second;
    m_microseconds = microseconds;
    m_utcOffsetMinutes = utcOffsetMinutes;
}

bool TCIMDateTime::IsNull() const
{
    return m_null;
}

std::string TCIMDateTime::ToString() const
{
    if (m_null) {
        return std::string();
    }
    char text[64];
    std::snprintf(text, sizeof text, "%04u%02u%02u%02u%02u%02u.%06lu%c%03d",
                  static_cast<unsigned>(m_year), static_cast<unsigned>(m_month),
                  static_cast<unsigned>(m_day), static_cast<unsigned>(m_hour),
                  static_cast<unsigned>(m_minute), static_cast<unsigned>(m_second),
                  static_cast<unsigned long>(m_microseconds), m_utcOffsetMinutes < 0 ? '-' : '+',
                  std::abs(static_cast<int>(m_utcOffsetMinutes)));
    return text;
}

}  // namespace NORNKVT20
