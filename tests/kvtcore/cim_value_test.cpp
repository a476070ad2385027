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
    EXPECT_THROW(dateTime.Set(2010, 1, 1, 0, 0, 0, 0, -1000), TKVTException);
    EXPECT_TRUE(dateTime.IsNull());
}
