#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/Host.h"

using NORNKVT20::TCIMDateTime;
using NORNKVT20::TCIMReference;
using NORNKVT20::TCIMValue;
using NORNKVT20::TKVTException;

namespace {

TCIMDateTime DateTime(std::int16_t offset, std::uint32_t microseconds = 0)
{
    TCIMDateTime dateTime;
    dateTime.Set(2010, 1, 1, 6, 0, 0, microseconds, offset);
    return dateTime;
}

TCIMValue Uint16Array(unsigned count, std::vector<TCIMValue> elements)
{
    return TCIMValue(TCIMValue::TCIMType(NORNKVT20::cimUint16), count, elements);
}

}  // namespace

TEST(CIMValueTest, TextAndTypeNameOfEachKind)
{
    struct Case {
        TCIMValue value;
        const char* text;
        const char* typeName;
    };
    const Case cases[] = {
        {TCIMValue(true), "true", "boolean"},
        {TCIMValue(std::uint32_t(4294967295u)), "4294967295", "uint32"},
        {TCIMValue(1.3f), "1.3", "real32"},
        {TCIMValue(1.0f), "1", "real32"},
        {TCIMValue(DateTime(60)), "20100101060000.000000+060", "datetime"},
        {TCIMValue(DateTime(-300, 123456)), "20100101060000.123456-300", "datetime"},
        {TCIMValue(TCIMReference("C.K=\"v\"")), "C.K=\"v\"", "reference"},
        {Uint16Array(3, {TCIMValue(std::uint16_t(2)), TCIMValue(std::uint16_t(10))}), "2,10",
         "uint16[]"},
        // An array's elements come from the vector, whatever the count says.
        {Uint16Array(7, {TCIMValue(std::uint16_t(3))}), "3", "uint16[]"},
        {Uint16Array(4, {}), "", "uint16[]"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(c.value.IsNull()) << c.text;
        EXPECT_EQ(std::string(c.value), c.text);
        EXPECT_EQ(c.value.GetType().GetName(), c.typeName) << c.text;
    }
    const TCIMValue nulls[] = {TCIMValue(), TCIMValue(TCIMDateTime()), TCIMValue(TCIMReference()),
                               TCIMValue(static_cast<const char*>(nullptr))};
    for (const TCIMValue& value : nulls) {
        EXPECT_TRUE(value.IsNull());
        EXPECT_EQ(std::string(value), "");
    }
}

TEST(CIMValueTest, WrongTypesAndOutOfRangeFieldsThrow)
{
    EXPECT_THROW(Uint16Array(0, {TCIMValue(std::uint16_t(1)), TCIMValue(std::uint32_t(2))}),
                 TKVTException);
    EXPECT_THROW(Uint16Array(0, {TCIMValue()}), TKVTException);
    EXPECT_THROW(TCIMValue(std::uint8_t(1)).GetString(), TKVTException);

    TCIMDateTime dateTime;
    EXPECT_THROW(dateTime.Set(2010, 13, 1, 0, 0, 0, 0, 0), TKVTException);
    EXPECT_THROW(dateTime.Set(2010, 1, 1, 24, 0, 0, 0, 0), TKVTException);
    EXPECT_TRUE(dateTime.IsNull());
}

// Offsets that three digits hold are written as given; larger ones as the
// same instant in UTC with +000, unless that instant leaves years 0..9999.
TEST(CIMValueTest, DateTimeTextAtTheOffsetLimits)
{
    struct Case {
        std::uint16_t year, month, day, hour, minute, second;
        std::uint32_t microseconds;
        std::int16_t offset;
        const char* text;  // nullptr when Set refuses
    };
    const Case cases[] = {
        // The displayinfo zone test covers the offsets themselves; here, the
        // calendar. 1000 minutes are 16 hours 40, going back into 2009.
        {2010, 1, 1, 6, 0, 0, 0, 1000, "20091231132000.000000+000"},
        {2009, 12, 31, 20, 0, 0, 0, -1000, "20100101124000.000000+000"},
        // Seconds, a leap second and microseconds stay as they are.
        {2016, 12, 31, 23, 59, 60, 500000, -1000, "20170101163960.500000+000"},
        // Leap days: every fourth year, not 2100, but 2000 and year 0.
        {2024, 3, 1, 2, 0, 0, 0, 1000, "20240229092000.000000+000"},
        {2023, 3, 1, 2, 0, 0, 0, 1000, "20230228092000.000000+000"},
        {2100, 3, 1, 2, 0, 0, 0, 1000, "21000228092000.000000+000"},
        {2000, 3, 1, 2, 0, 0, 0, 1000, "20000229092000.000000+000"},
        {0, 3, 1, 0, 0, 0, 0, 1000, "00000229072000.000000+000"},
        {2024, 2, 28, 20, 0, 0, 0, -1000, "20240229124000.000000+000"},
        {2023, 2, 28, 20, 0, 0, 0, -1000, "20230301124000.000000+000"},
        // The ends of the years the text holds.
        {0, 1, 1, 23, 59, 0, 0, 1000, "00000101071900.000000+000"},
        {0, 1, 1, 0, 0, 0, 0, 1000, nullptr},
        {9999, 12, 31, 0, 0, 0, 0, -1000, "99991231164000.000000+000"},
        {9999, 12, 31, 23, 59, 0, 0, -1000, nullptr},
        {9999, 12, 31, 23, 59, 0, 0, 999, "99991231235900.000000+999"},
    };
    for (const Case& c : cases) {
        TCIMDateTime dateTime;
        const auto set = [&dateTime, &c]() {
            dateTime.Set(c.year, c.month, c.day, c.hour, c.minute, c.second, c.microseconds,
                         c.offset);
        };
        if (c.text == nullptr) {
            EXPECT_THROW(set(), TKVTException) << c.year << " " << c.offset;
            EXPECT_TRUE(dateTime.IsNull());
        } else {
            EXPECT_NO_THROW(set()) << c.text;
            EXPECT_EQ(c.text, dateTime.ToString());
        }
    }
}
