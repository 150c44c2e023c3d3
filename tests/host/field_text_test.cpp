// tests/host/field_text_test.cpp: the value strings the host hands to the
// plug-in, whose block is reused unless a copy still holds it.
#include "HostFields.h"

#include <gtest/gtest.h>

// What the plug-in does with a value: takes it into its storage, reads it
// and releases it.
static std::string TakeAndRelease(HostField& field)
{
    alignas(CString) unsigned char storage[sizeof(CString)];
    CString* pValue = field.GetValueText(reinterpret_cast<CString*>(storage));
    std::string text = Narrow(pValue->GetString());
    pValue->~CString();
    return text;
}

TEST(FieldText, ReusesItsBlockWhileNoOneElseHoldsIt)
{
    DbField field;
    EXPECT_EQ(0, field.Prepare());
    EXPECT_EQ("", TakeAndRelease(field)) << "before any record";
    FieldText value;
    EXPECT_EQ("", Narrow(value.Text())) << "before any value";
    field.SetValue(&value);
    ASSERT_TRUE(value.SetUtf8("a\0b", 3));
    EXPECT_EQ(3u, value.Length()) << "the length counts past an embedded NUL";
    const WCHAR* pBlock = value.Text();
    for (const char* text : {"first", "second value", "", "third"}) {
        ASSERT_TRUE(value.SetUtf8(text, strlen(text)));
        EXPECT_EQ(pBlock, value.Text()) << "a released value leaves the block to the field: " << text;
        EXPECT_EQ(text, TakeAndRelease(field));
    }
    alignas(CString) unsigned char storage[sizeof(CString)];
    CString* pHeld = field.GetValueText(reinterpret_cast<CString*>(storage));
    ASSERT_TRUE(value.SetUtf8("next", 4));
    EXPECT_NE(pBlock, value.Text()) << "a block that a copy holds is never written";
    EXPECT_EQ("third", Narrow(pHeld->GetString()));
    pHeld->~CString();
    EXPECT_EQ("next", TakeAndRelease(field));

    for (size_t grown : {200, 100000}) {
        std::string longer(grown, 'x');
        ASSERT_TRUE(value.SetUtf8(longer.data(), grown));
        EXPECT_EQ(longer, TakeAndRelease(field));
        pBlock = value.Text();
        ASSERT_TRUE(value.SetUtf8(longer.data(), grown * 3 / 4));
        EXPECT_EQ(pBlock, value.Text()) << "a grown block serves shorter values";
        ASSERT_TRUE(value.SetUtf8("short", 5));
        EXPECT_EQ(grown < 4096, pBlock == value.Text())
            << "only a large block is given back for a short value";
        EXPECT_EQ("short", TakeAndRelease(field));
    }
}
