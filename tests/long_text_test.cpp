// tests/long_text_test.cpp: texts longer than the writers' buffers hold
// are written whole, byte for byte, quoted or not, escaped or not, with no
// surrogate pair split where the pieces meet.
#include "reference_text.h"
#include "writer_fixture.h"

#include <gtest/gtest.h>

namespace
{

// Latin-1 letters are their own bytes in code page 1252.
std::string Latin1Of(const WString& text)
{
    return std::string(text.begin(), text.end());
}

// n units of a motif repeated.
WString Repeat(const WString& motif, size_t n)
{
    WString text;
    while (text.size() < n)
        text += motif;
    text.resize(n);
    return text;
}

struct Motif {
    const char* label;
    WString units;
};

const Motif kMotifs[] = {
    {"mixed", WSTR("a\"<\u00E9\u65E5\U0001F600&' ;>")},
    {"pairs after one unit", WSTR("x\U0001F600\U0001F601\U0001F602\"")},
    {"pairs only", WSTR("\U0001F600\U0001F601\"\U0001F602")},
    {"quotes only", WSTR("\"")},
};

const size_t kLengths[] = {32766, 32767, 65535, 200000};

std::string WriteLong(bool unicode, UINT codePage, int csv, const WString& text, bool quoted, int escape)
{
    WriterFixture w;
    EXPECT_TRUE(w.Ready());
    w.Encoding(unicode, codePage);
    w.options.m_bCsv = csv;
    if (quoted)
        w.WriteQuoted(text.c_str());
    else
        w.WriteText(text.c_str(), escape);
    return w.Written();
}

TEST(LongText, IsWrittenWholeInEveryForm)
{
    for (const Motif& motif : kMotifs) {
        for (size_t n : kLengths) {
            SCOPED_TRACE(std::string(motif.label) + ", " + std::to_string(n) + " units");
            WString text = Repeat(motif.units, n);
            std::string utf8 = Utf8Of(text);
            EXPECT_EQ(Escaped(utf8), WriteLong(false, CP_UTF8, 0, text, false, 1)) << "escaped";
            EXPECT_EQ(utf8, WriteLong(false, CP_UTF8, 0, text, false, 0)) << "unescaped";
            EXPECT_EQ(utf8, WriteLong(false, CP_UTF8, 0, text, true, 0)) << "CSV off";
            EXPECT_EQ(Utf8Of(Quoted(text)), WriteLong(false, CP_UTF8, 1, text, true, 0)) << "quoted";
            EXPECT_EQ(Utf16le(Quoted(text)), WriteLong(true, CP_UTF8, 1, text, true, 0)) << "Unicode";
        }
    }
}

TEST(LongText, SingleByteCodePageIsWrittenWhole)
{
    for (size_t n : kLengths) {
        SCOPED_TRACE(n);
        WString text = Repeat(WSTR("\u00E9t\u00E9 \"x\";\u00FF"), n);
        EXPECT_EQ(Latin1Of(text), WriteLong(false, 1252, 0, text, false, 1));
        EXPECT_EQ(Latin1Of(Quoted(text)), WriteLong(false, 1252, 1, text, true, 0));
    }
}

// QuoteCsv gives the quoted form while it fits m_pQuoteBuf with its
// terminator, and null from the first unit more.
TEST(LongText, QuoteCsvFitsUpToTheBuffer)
{
    struct Row {
        const char* label;
        WString text;
        bool fits;
    } rows[] = {
        {"32766 quotes", WString(32766, WSTR('"')), true},
        {"32767 quotes", WString(32767, WSTR('"')), false},
        {"65533 units", WString(65532, WSTR('a')) + WSTR(";"), true},
        {"65534 units", WString(65533, WSTR('a')) + WSTR(";"), false},
        {"200000 units", WString(199999, WSTR('a')) + WSTR(";"), false},
    };
    WriterFixture w;
    ASSERT_TRUE(w.Ready());
    w.Csv(1);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        const WCHAR* result = w.QuoteCsv(row.text.c_str());
        if (!row.fits) {
            EXPECT_EQ(nullptr, result);
            continue;
        }
        ASSERT_NE(nullptr, result);
        EXPECT_EQ(Quoted(row.text), WString(result));
    }
}

} // namespace
