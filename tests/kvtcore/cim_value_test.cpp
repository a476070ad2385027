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

TEST(CIMValueTest, TextAndTypeNameOfEveryKind)
{
    struct Case {
        TCIMValue value;
        const char* text;
        const char* typeName;
    };
    const Case cases[] = {
        {TCIMValue(true), "true", "boolean"},
        {TCIMValue(false), "false", "boolean"},
        {TCIMValue(std::uint8_t(200)), "200", "uint8"},
        {TCIMValue(std::uint16_t(65535)), "65535", "uint16"},
        {TCIMValue(std::uint32_t(4294967295u)), "4294967295", "uint32"},
        {TCIMValue(1.3f), "1.3", "real32"},
        {TCIMValue(2.2f), "2.2", "real32"},
        {TCIMValue(1.0f), "1", "real32"},
        {TCIMValue(0.1f + 0.2f), "0.3", "real32"},
        {TCIMValue(" a,b \\\""), " a,b \\\"", "string"},
        {TCIMValue(std::string()), "", "string"},
        {TCIMValue(DateTime(60)), "20100101060000.000000+060", "datetime"},
        {TCIMValue(DateTime(-300, 123456)), "20100101060000.123456-300", "datetime"},
        {TCIMValue(DateTime(0)), "20100101060000.000000+000", "datetime"},
        {TCIMValue(TCIMReference("C.K=\"v\"")), "C.K=\"v\"", "reference"},
        {Uint16Array(3, {TCIMValue(std::uint16_t(2)), TCIMValue(std::uint16_t(10))}), "2,10",
         "uint16[]"},
        {TCIMValue(TCIMValue::TCIMType(NORNKVT20::cimString), 0, {TCIMValue("a,b"), TCIMValue("")}),
         "a,b,", "string[]"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(c.value.IsNull()) << c.text;
        EXPECT_EQ(std::string(c.value), c.text);
        EXPECT_EQ(c.value.GetType().GetName(), c.typeName) << c.text;
    }
}

TEST(CIMValueTest, NullValuesHaveEmptyText)
{
    const TCIMValue nulls[] = {TCIMValue(), TCIMValue(TCIMDateTime()),
                               TCIMValue(TCIMReference()),
                               TCIMValue(static_cast<const char*>(nullptr))};
    for (const TCIMValue& value : nulls) {
        EXPECT_TRUE(value.IsNull());
        EXPECT_EQ(std::string(value), "");
    }
    EXPECT_EQ(TCIMValue(TCIMDateTime()).GetType().GetName(), "datetime");
}

TEST(CIMValueTest, ArrayTakesItsElementsFromTheVectorWhateverTheCount)
{
    const TCIMValue one = TCIMValue(TCIMValue::TCIMType(NORNKVT20::cimString), 0, {"only"});
    ASSERT_EQ(one.GetElements().size(), 1u);
    EXPECT_EQ(one.GetElements()[0].GetString(), "only");
    EXPECT_EQ(Uint16Array(7, {TCIMValue(std::uint16_t(3))}).GetElements().size(), 1u);

    const TCIMValue empty = Uint16Array(4, {});
    EXPECT_FALSE(empty.IsNull());
    EXPECT_TRUE(empty.IsArray());
    EXPECT_TRUE(empty.GetElements().empty());
    EXPECT_EQ(std::string(empty), "");
}

TEST(CIMValueTest, ArrayRejectsElementsOfAnotherType)
{
    const std::vector<std::vector<TCIMValue> > wrong = {
        {TCIMValue(std::uint16_t(1)), TCIMValue(std::uint32_t(2))},
        {TCIMValue("1")},
        {TCIMValue()},
        {Uint16Array(1, {TCIMValue(std::uint16_t(1))})},
    };
    for (const auto& elements : wrong) {
        EXPECT_THROW(Uint16Array(0, elements), TKVTException);
    }
    EXPECT_THROW(TCIMValue(TCIMValue::TCIMType(NORNKVT20::cimUint16, true), 0, {}),
                 TKVTException);
    EXPECT_THROW(TCIMValue(TCIMValue::TCIMType(NORNKVT20::cimNone), 0, {}), TKVTException);
}

TEST(CIMValueTest, TypeNamesFollowTheCodes)
{
    EXPECT_STREQ(NORNKVT20::CIMTypeName(NORNKVT20::ECIMType(3)), "sint8");
    EXPECT_STREQ(NORNKVT20::CIMTypeName(NORNKVT20::ECIMType(12)), "char16");
    EXPECT_STREQ(NORNKVT20::CIMTypeName(NORNKVT20::ECIMType(15)), "reference");
    EXPECT_EQ(TCIMValue::TCIMType(NORNKVT20::cimString, true).GetName(), "string[]");
}

TEST(CIMValueTest, AccessorOfAnotherTypeThrows)
{
    EXPECT_THROW(TCIMValue(std::uint8_t(1)).GetString(), TKVTException);
    EXPECT_THROW(TCIMValue().GetUnsigned(), TKVTException);
    EXPECT_EQ(TCIMValue(std::uint8_t(7)).GetUnsigned(), 7u);
}

TEST(CIMDateTimeTest, OutOfRangeFieldThrowsAndLeavesItNull)
{
    TCIMDateTime dateTime;
    EXPECT_THROW(dateTime.Set(2010, 13, 1, 0, 0, 0, 0, 0), TKVTException);
    EXPECT_THROW(dateTime.Set(2010, 1, 1, 0, 0, 0, 1000000, 0), TKVTException);
    EXPECT_THROW(dateTime.Set(2010, 1, 1, 0, 0, 0, 0, -1000), TKVTException);
    EXPECT_TRUE(dateTime.IsNull());
    EXPECT_EQ(dateTime.ToString(), "");
}
