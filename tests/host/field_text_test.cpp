// tests/host/field_text_test.cpp: the value strings the host hands to the
// plug-in: their texts, and the reuse of one block per value, which must
// never overwrite a text that a holder of a copy still reads.
#include "HostFields.h"

#include <gtest/gtest.h>

namespace
{

std::string TextOf(const FieldText& value)
{
    return Narrow(value.Text());
}

// What the plug-in does with a value: takes it into its own storage, reads
// it and releases it.
std::string TakeAndRelease(HostField& field)
{
    alignas(CString) unsigned char storage[sizeof(CString)];
    CString* pValue = field.GetValueText(reinterpret_cast<CString*>(storage));
    EXPECT_EQ(reinterpret_cast<CString*>(storage), pValue) << "the result is the storage passed";
    std::string text = Narrow(pValue->GetString());
    EXPECT_EQ(static_cast<int>(Widen(text).size()), pValue->GetLength());
    pValue->~CString();
    return text;
}

} // namespace

TEST(FieldText, ReusesItsBlockWhileNoOneElseHoldsIt)
{
    DbField field;
    FieldText value;
    field.SetValue(&value);
    ASSERT_TRUE(value.SetUtf8("first", 5));
    const WCHAR* pBlock = value.Text();
    EXPECT_EQ("first", TakeAndRelease(field));
    for (const char* text : {"second value", "", "third"}) {
        SCOPED_TRACE(text);
        ASSERT_TRUE(value.SetUtf8(text, strlen(text)));
        EXPECT_EQ(pBlock, value.Text()) << "a released value leaves the block to the field";
        EXPECT_EQ(text, TakeAndRelease(field));
    }
    std::string longer(200, 'x');
    ASSERT_TRUE(value.SetUtf8(longer.data(), longer.size()));
    EXPECT_EQ(longer, TextOf(value));
    const WCHAR* pGrown = value.Text();
    ASSERT_TRUE(value.SetUtf8("short", 5));
    EXPECT_EQ(pGrown, value.Text()) << "a grown block serves shorter values";

    std::string longest(100000, 'x');
    ASSERT_TRUE(value.SetUtf8(longest.data(), longest.size()));
    const WCHAR* pLongest = value.Text();
    ASSERT_TRUE(value.SetUtf8(longest.data(), longest.size() - 1000));
    EXPECT_EQ(pLongest, value.Text()) << "a large block serves a value near its size";
    ASSERT_TRUE(value.SetUtf8("short", 5));
    EXPECT_NE(pLongest, value.Text()) << "a large block is given back for a short value";
    EXPECT_EQ("short", TextOf(value));
}

TEST(FieldText, NeverWritesABlockThatACopyStillHolds)
{
    DbField field;
    FieldText value;
    field.SetValue(&value);
    ASSERT_TRUE(value.SetUtf8("kept", 4));
    alignas(CString) unsigned char storage[sizeof(CString)];
    CString* pHeld = field.GetValueText(reinterpret_cast<CString*>(storage));
    const WCHAR* pBlock = value.Text();

    ASSERT_TRUE(value.SetUtf8("next", 4));
    EXPECT_NE(pBlock, value.Text());
    EXPECT_EQ("kept", Narrow(pHeld->GetString()));
    EXPECT_EQ("next", TextOf(value));
    pHeld->~CString();
}

TEST(FieldText, EveryKindOfValueGivesItsText)
{
    FieldText value;
    EXPECT_EQ("", TextOf(value)) << "before any value";
    const WCHAR units[] = {0x5C71, 0xD83D, 0xDE9A};
    ASSERT_TRUE(value.SetUtf16(units, 3));
    EXPECT_EQ("\xE5\xB1\xB1\xF0\x9F\x9A\x9A", TextOf(value));
    ASSERT_TRUE(value.SetEmpty());
    EXPECT_EQ("", TextOf(value));
    EXPECT_EQ(0u, value.Length());
    ASSERT_TRUE(value.SetUtf8("a\0b", 3));
    EXPECT_EQ(3u, value.Length()) << "the length counts past an embedded NUL";
}

TEST(DbField, GivesItsNameAndAnEmptyValueBeforeAnyRecord)
{
    DbField field;
    field.SetName(Widen("Straße"));
    EXPECT_EQ("Straße", Narrow(field.GetName().GetString()));
    EXPECT_EQ(0, field.Prepare());
    EXPECT_EQ("", TakeAndRelease(field));
}
