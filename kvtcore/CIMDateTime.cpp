#include "host/CIMDateTime.h"

#include <cstdint>
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

// Days from 0000-03-01 to the given date of the proleptic Gregorian calendar
// (the year starts in March so that a leap day ends it). A day beyond the
// month's last counts on into the next month.
std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day)
{
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra;
}

// The inverse of DaysFromCivil.
void CivilFromDays(std::int64_t days, std::int64_t& year, std::int64_t& month, std::int64_t& day)
{
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

// The largest offset, in minutes, that the three digits of the text hold.
const std::int64_t kWritableOffset = 999;
const std::int64_t kMinutesPerDay = 24 * 60;

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
//
// The offset may be any 16-bit value, but the text has three digits for it.
// An offset beyond +-999 minutes is written as the same instant in UTC: the
// offset is subtracted from the date and time (carrying across days, months
// and years, leap days included) and the offset becomes +000. Smaller offsets
// are kept as given. A date within a day of either end of years 0000..9999
// can move beyond them; such a datetime has no text and is refused like any
// other field that does not fit.
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

    std::int64_t writtenYear = year, writtenMonth = month, writtenDay = day;
    std::int64_t writtenHour = hour, writtenMinute = minute, writtenOffset = utcOffsetMinutes;
    if (writtenOffset > kWritableOffset || writtenOffset < -kWritableOffset) {
        const std::int64_t minutes =
            DaysFromCivil(writtenYear, writtenMonth, writtenDay) * kMinutesPerDay +
            writtenHour * 60 + writtenMinute - writtenOffset;
        // Floor division: minutes is negative before 0000-03-01.
        std::int64_t days = minutes / kMinutesPerDay;
        std::int64_t minuteOfDay = minutes % kMinutesPerDay;
        if (minuteOfDay < 0) {
            minuteOfDay += kMinutesPerDay;
            days -= 1;
        }
        CivilFromDays(days, writtenYear, writtenMonth, writtenDay);
        if (writtenYear < 0 || writtenYear > 9999) {
            throw TKVTException("TCIMDateTime::Set: UTC offset " +
                                std::to_string(utcOffsetMinutes) +
                                " needs more than three digits, and the time in UTC falls in "
                                "year " + std::to_string(writtenYear) + ", outside 0..9999");
        }
        writtenHour = minuteOfDay / 60;
        writtenMinute = minuteOfDay % 60;
        writtenOffset = 0;
    }

    m_null = false;
    m_year = static_cast<std::uint16_t>(writtenYear);
    m_month = static_cast<std::uint16_t>(writtenMonth);
    m_day = static_cast<std::uint32_t>(writtenDay);
    m_hour = static_cast<std::uint16_t>(writtenHour);
    m_minute = static_cast<std::uint16_t>(writtenMinute);
    m_second = second;
    m_microseconds = microseconds;
    m_utcOffsetMinutes = static_cast<std::int16_t>(writtenOffset);
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
