// tests/text_writer_test.cpp: the bytes the text writers put into a file:
// the CSV rule, each output encoding with XML escaping on and off, texts
// too long for the work buffers, an unusable code page, and no allocation.
#include "alloc_failure.h"
#include "writer_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

// The same texts in each encoding: the exact bytes WriteText writes.
struct EncodingRow {
    const char* label;
    WString text;
    std::string cp1252, cp850, cp932, cp936, utf8;
};

std::vector<EncodingRow> EncodingRows()
{
    const WCHAR pair[] = {0xD83D, 0xDE00, 0};
    const WCHAR unpaired[] = {0xD83D, 'x', 0xDE00, 0xD83D, 0};
    const WCHAR controls[] = {0x01, 0x09, 0x0D, 0x0A, 0x1F, 0x7F, 0};
    return {
        {"ASCII", WSTR("Name;Wert 42"), Hex("4E 61 6D 65 3B 57 65 72 74 20 34 32"),
         Hex("4E 61 6D 65 3B 57 65 72 74 20 34 32"), Hex("4E 61 6D 65 3B 57 65 72 74 20 34 32"),
         Hex("4E 61 6D 65 3B 57 65 72 74 20 34 32"), Hex("4E 61 6D 65 3B 57 65 72 74 20 34 32")},
        {"accented Latin", WSTR("\u00E9\u00E8\u00FC\u00DF"), Hex("E9 E8 FC DF"), Hex("82 8A 81 E1"),
         WindowsBestFit("65 65 75 73", "3F 3F 3F 3F"), Hex("A8 A6 A8 A8 A8 B9 3F"),
         Hex("C3 A9 C3 A8 C3 BC C3 9F")},
        {"Cyrillic", WSTR("\u041F\u0440\u0438"), Hex("3F 3F 3F"), Hex("3F 3F 3F"), Hex("84 50 84 82 84 79"),
         Hex("A7 B1 A7 E2 A7 DA"), Hex("D0 9F D1 80 D0 B8")},
        {"CJK", WSTR("\u65E5\u672C\u4E2D\u6587"), Hex("3F 3F 3F 3F"), Hex("3F 3F 3F 3F"),
         Hex("93 FA 96 7B 92 86 95 B6"), Hex("C8 D5 B1 BE D6 D0 CE C4"),
         Hex("E6 97 A5 E6 9C AC E4 B8 AD E6 96 87")},
        {"euro sign", WSTR("\u20AC"), Hex("80"), Hex("3F"), Hex("3F"), Hex("80"), Hex("E2 82 AC")},
        // A character beyond the BMP is two units, and each lacks a byte.
        {"U+1F600", pair, Hex("3F 3F"), Hex("3F 3F"), Hex("3F 3F"), Hex("3F 3F"), Hex("F0 9F 98 80")},
        {"unpaired surrogates", unpaired, Hex("3F 78 3F 3F"), Hex("3F 78 3F 3F"), Hex("3F 78 3F 3F"),
         Hex("3F 78 3F 3F"), Hex("EF BF BD 78 EF BF BD EF BF BD")},
        {"control characters", controls, Hex("01 09 0D 0A 1F 7F"), Hex("01 09 0D 0A 1F 7F"),
         Hex("01 09 0D 0A 1F 7F"), Hex("01 09 0D 0A 1F 7F"), Hex("01 09 0D 0A 1F 7F")},
        {"XML specials", WSTR("<a & 'b'>\""), Hex("3C 61 20 26 20 27 62 27 3E 22"),
         Hex("3C 61 20 26 20 27 62 27 3E 22"), Hex("3C 61 20 26 20 27 62 27 3E 22"),
         Hex("3C 61 20 26 20 27 62 27 3E 22"), Hex("3C 61 20 26 20 27 62 27 3E 22")},
    };
}

// Escaping happens in UTF-8 output alone; these are the rows it changes.
std::string EscapedUtf8(const EncodingRow& row)
{
    if (std::string(row.label) == "XML specials")
        return "&lt;a &amp; &apos;b&apos;&gt;&quot;";
    return row.utf8;
}

std::string Write(UINT codePage, bool unicode, const WString& text, int bEscape)
{
    WriterFixture w;
    EXPECT_TRUE(w.Ready());
    w.Encoding(unicode, codePage);
    w.WriteText(text.c_str(), bEscape);
    return w.Written();
}

// The CSV rule, with the delimiter's first character as the one that counts.
TEST(QuoteCsv, QuotesExactlyWhereTheRuleAsks)
{
    struct Row {
        const char* label;
        int csv;
        const WCHAR* delimiter;
        const WCHAR* text;
        const WCHAR* quoted; // null: the text itself comes back
    } rows[] = {
        {"CSV off", 0, WSTR(";"), WSTR("a;\"b\""), nullptr},
        {"empty", 1, WSTR(";"), WSTR(""), nullptr},
        {"plain", 1, WSTR(";"), WSTR("a b"), nullptr},
        {"single space", 1, WSTR(";"), WSTR(" "), WSTR("\" \"")},
        {"leading space", 1, WSTR(";"), WSTR(" a"), WSTR("\" a\"")},
        {"trailing space", 1, WSTR(";"), WSTR("a "), WSTR("\"a \"")},
        {"tab at the end", 1, WSTR(";"), WSTR("a\t"), nullptr},
        {"delimiter", 1, WSTR(";"), WSTR("a;b"), WSTR("\"a;b\"")},
        {"another delimiter's", 1, WSTR(","), WSTR("a;b"), nullptr},
        {"tab delimiter", 1, WSTR("\t"), WSTR("a\tb"), WSTR("\"a\tb\"")},
        {"non-ASCII delimiter", 1, WSTR("\u00A7"), WSTR("a\u00A7b"), WSTR("\"a\u00A7b\"")},
        {"first character only", 1, WSTR(";|"), WSTR("a|b"), nullptr},
        {"double quotes", 1, WSTR(";"), WSTR("say \"hi\""), WSTR("\"say \"\"hi\"\"\"")},
        {"a double quote alone", 1, WSTR(";"), WSTR("\""), WSTR("\"\"\"\"")},
        {"line breaks stay", 1, WSTR(";"), WSTR("a\r\nb"), WSTR("\"a\r\nb\"")},
        {"line feed", 1, WSTR(";"), WSTR("\n"), WSTR("\"\n\"")},
        {"carriage return", 1, WSTR(";"), WSTR("x\r"), WSTR("\"x\r\"")},
        {"non-ASCII", 1, WSTR(";"), WSTR("\u00E9;\U0001F600"), WSTR("\"\u00E9;\U0001F600\"")},
    };
    WriterFixture w;
    ASSERT_TRUE(w.Ready());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        w.Csv(row.csv, row.delimiter);
        const WCHAR* result = w.QuoteCsv(row.text);
        if (!row.quoted) {
            EXPECT_EQ(row.text, result) << "the argument itself";
            continue;
        }
        EXPECT_EQ(WString(row.quoted), WString(result));
    }
}

// A unit that quotes a value, or that keeps it from being copied as it
// stands, is found wherever it stands, and every other unit keeps its
// place: texts around one, two and three blocks of the writers' scans
// (eight units), with the unit at each position in turn.
TEST(QuoteCsv, StopUnitIsFoundAtEveryPosition)
{
    struct Stop {
        const char* label;
        WCHAR unit; // 0: none, the text stays plain
        const char* bytes;
        bool quotes;
    } stops[] = {
        {"none", 0, nullptr, false},
        {"double quote", WSTR('"'), "\"\"", true},
        {"delimiter", WSTR(';'), ";", true},
        {"line feed", WSTR('\n'), "\n", true},
        {"carriage return", WSTR('\r'), "\r", true},
        {"accented", 0x00E9, "\xE9", false},
    };
    WriterFixture w;
    ASSERT_TRUE(w.Ready());
    w.Csv(1);
    w.Encoding(false, 1252);
    size_t before = 0;
    for (size_t n : {1, 7, 8, 9, 15, 16, 17, 23, 24, 25}) {
        for (const Stop& stop : stops) {
            for (size_t at = 0; at < (stop.unit ? n : 1); ++at) {
                SCOPED_TRACE(std::string(stop.label) + " at " + std::to_string(at) + " of " +
                             std::to_string(n));
                WString text;
                std::string body;
                for (size_t i = 0; i < n; ++i) {
                    text += static_cast<WCHAR>('a' + i);
                    body += static_cast<char>('a' + i);
                }
                if (stop.unit) {
                    text[at] = stop.unit;
                    body.replace(at, 1, stop.bytes);
                }
                EXPECT_EQ(stop.quotes, w.QuoteCsv(text.c_str()) != text.c_str());
                w.WriteQuoted(text.c_str());
                std::string written = w.Written();
                EXPECT_EQ(stop.quotes ? "\"" + body + "\"" : body, written.substr(before));
                before = written.size();
            }
        }
    }
}

// Quoting does not depend on the encoding or on escaping: the quoted text
// is converted as any other.
TEST(QuoteCsv, WriteQuotedConvertsTheQuotedForm)
{
    WriterFixture w;
    ASSERT_TRUE(w.Ready());
    w.Csv(1);
    w.Encoding(false, CP_UTF8);
    w.WriteQuoted(WSTR("<\u00E9;\"&"));
    w.WriteQuoted(WSTR("plain"));
    EXPECT_EQ("\"<\xC3\xA9;\"\"&\"plain", w.Written());
}

TEST(TextWriter, EachEncodingWritesTheExactBytes)
{
    for (const EncodingRow& row : EncodingRows()) {
        SCOPED_TRACE(row.label);
        for (int escape = 0; escape <= 1; ++escape) {
            SCOPED_TRACE(escape ? "escape on" : "escape off");
            EXPECT_EQ(row.cp1252, Write(1252, false, row.text, escape));
            EXPECT_EQ(row.cp850, Write(850, false, row.text, escape));
            EXPECT_EQ(row.cp932, Write(932, false, row.text, escape));
            EXPECT_EQ(row.cp936, Write(936, false, row.text, escape));
            EXPECT_EQ(escape ? EscapedUtf8(row) : row.utf8, Write(CP_UTF8, false, row.text, escape));
            EXPECT_EQ(Utf16le(row.text), Write(1252, true, row.text, escape));
        }
    }
}

TEST(TextWriter, UnicodeOutputIsTheUnitsLittleEndianEvenWithEscape)
{
    EXPECT_EQ(Hex("41 00 42 00"), Write(CP_UTF8, true, WSTR("AB"), 1));
    EXPECT_EQ(Hex("3C 00 26 00 3D D8 00 DE"), Write(CP_UTF8, true, WSTR("<&\U0001F600"), 1));
}

// Entities inserted next to each other, at both ends, and an ampersand that
// already looks like an entity: each byte is escaped once, left to right.
TEST(TextWriter, EscapingReplacesEachSpecialByteOnce)
{
    struct Row {
        const WCHAR* text;
        const char* written;
    } rows[] = {
        {WSTR("&"), "&amp;"},
        {WSTR("&amp;"), "&amp;amp;"},
        {WSTR("<<>>"), "&lt;&lt;&gt;&gt;"},
        {WSTR("''\"\""), "&apos;&apos;&quot;&quot;"},
        {WSTR("\u00E9<\u65E5>\U0001F600&"), "\xC3\xA9&lt;\xE6\x97\xA5&gt;\xF0\x9F\x98\x80&amp;"},
        {WSTR("a;b"), "a;b"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Narrow(row.text));
        EXPECT_EQ(row.written, Write(CP_UTF8, false, row.text, 1));
    }
}

TEST(TextWriter, EmptyTextsAndNoStreamWriteNothing)
{
    WriterFixture w;
    ASSERT_TRUE(w.Ready());
    w.options.m_bCsv = 1;
    w.WriteText(WSTR(""), 1);
    w.WriteQuoted(WSTR(""));
    w.WriteLiteral("");
    w.WriteText(nullptr, 0);
    EXPECT_EQ("", w.Written());

    w.Writer().WriteText(nullptr, WSTR("text"), 0);
    w.Writer().WriteQuoted(nullptr, WSTR("a;b"));
    w.Writer().WriteLiteral(nullptr, "<x>");
    EXPECT_EQ("", w.Written());
}

TEST(TextWriter, LiteralsAreWrittenUnchangedInAnyEncoding)
{
    const char* literal = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    for (int unicode = 0; unicode <= 1; ++unicode) {
        SCOPED_TRACE(unicode);
        WriterFixture w;
        ASSERT_TRUE(w.Ready());
        w.Encoding(unicode, 932);
        w.WriteLiteral(literal);
        w.WriteLiteral("</file>\n");
        EXPECT_EQ(std::string(literal) + "</file>\n", w.Written());
    }
}

// A code page the system does not have writes UTF-8, unescaped: nothing is
// lost and nothing is garbled.
TEST(TextWriter, UnusableCodePageWritesUtf8)
{
    const UINT unusable[] = {12345, 1200, 0xFFFFFFFF};
    for (UINT codePage : unusable) {
        SCOPED_TRACE(codePage);
        ASSERT_FALSE(IsValidCodePage(codePage));
        EXPECT_EQ("A\xC3\xA9<\xF0\x9F\x98\x80", Write(codePage, false, WSTR("A\u00E9<\U0001F600"), 1));
    }
}

// Code page 0 is Windows' name for the system code page.
TEST(TextWriter, CodePageZeroIsTheSystemCodePage)
{
    const WCHAR* text = WSTR("Gr\u00FC\u00DFe \u65E5");
    EXPECT_EQ(Write(GetACP(), false, text, 0), Write(CP_ACP, false, text, 0));
}

// The record operations hand the delimiter to WriteQuoted with the value;
// the two then leave in one stream write when they fit the conversion buffer
// together. The bytes must be those of the two written one after the other:
// a value so long that the delimiter must leave first, one that goes in
// pieces, a quoted one longer than the quoting buffer, and one beginning
// with the second half of a pair whose first half is the delimiter.
TEST(TextWriter, DelimiterWithTheValueIsTheTwoWrittenApart)
{
    const WCHAR highSurrogate[] = {0xD83D, 0};
    const size_t kBytes = TextWriter::kConvBufBytes;
    struct Row {
        const char* label;
        bool unicode;
        UINT codePage;
        const WCHAR* delimiter;
        WString text;
    } rows[] = {
        {"empty", false, 1252, WSTR(";"), WSTR("")},
        {"fills the buffer", false, 1252, WSTR(";"), WString(kBytes, WSTR('a'))},
        {"one short of it", false, CP_UTF8, WSTR("\u00A7"), WString(kBytes - 1, WSTR('a'))},
        {"in pieces", false, 932, WSTR("\t"), WString(kBytes / 2, WCHAR(0x00E9))},
        {"quoted, long", true, 1252, WSTR("::"), WString(40000, WSTR('"'))},
        {"half a pair each", false, CP_UTF8, highSurrogate, WString(1, WCHAR(0xDE00)) + WSTR("x")},
        {"unusable code page", false, 12345, WSTR(";"), WSTR(" a;b \"c\" Gr\u00FC\u00DFe")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        std::string written[2];
        for (int joined = 0; joined <= 1; ++joined) {
            WriterFixture w;
            ASSERT_TRUE(w.Ready());
            w.Csv(1, row.delimiter);
            w.Encoding(row.unicode, row.codePage);
            if (joined) {
                w.WriteQuoted(row.text.c_str(), row.delimiter);
            } else {
                w.WriteText(row.delimiter, 0);
                w.WriteQuoted(row.text.c_str());
            }
            written[joined] = w.Written();
        }
        EXPECT_EQ(written[0].size(), written[1].size());
        EXPECT_TRUE(written[0] == written[1]);
    }
}

// Some code pages write ASCII characters as other bytes: EBCDIC ones, or
// UTF-7, which writes "+" as "+-". ASCII texts are copied as they stand only
// in code pages that keep them, and the question is asked again when the
// code page changes. Linux has none of these code pages and writes UTF-8
// for them; under Windows they are real.
TEST(TextWriter, AsciiStaysAsItIsOnlyWhereTheCodePageKeepsIt)
{
    WString ascii = WSTR("\t\r\n");
    for (WCHAR c = 0x20; c < 0x7F; ++c)
        ascii += c;
    const UINT codePages[] = {1252, 37, 1252, 1026, 65000, 20106, 50220, CP_UTF8, 37};
    if (kWindows) {
        EXPECT_TRUE(IsValidCodePage(37));
        EXPECT_TRUE(IsValidCodePage(65000));
    }
    WriterFixture w;
    ASSERT_TRUE(w.Ready());
    size_t before = 0;
    for (UINT codePage : codePages) {
        SCOPED_TRACE(codePage);
        std::string expected = Utf8Of(ascii);
        if (IsValidCodePage(codePage)) {
            char bytes[1024];
            int n = WideCharToMultiByte(codePage, 0, ascii.c_str(), static_cast<int>(ascii.size()), bytes,
                                        sizeof bytes, nullptr, nullptr);
            ASSERT_GT(n, 0);
            expected.assign(bytes, static_cast<size_t>(n));
        }
        w.Encoding(false, codePage);
        w.WriteText(ascii.c_str(), 0);
        std::string written = w.Written();
        EXPECT_EQ(expected, written.substr(before));
        before = written.size();
    }
}

TEST(TextWriter, WritingAllocatesNothing)
{
    WriterFixture w;
    ASSERT_TRUE(w.Ready());
    w.options.m_bCsv = 1;
    const UINT codePages[] = {1252, 932, CP_UTF8, 12345};
    for (UINT codePage : codePages) // first use may load the system's tables
        Write(codePage, false, WSTR("\u00E9"), 0);
    WString longText(100000, WSTR('"'));
    long before = alloc::LiveBlocks();
    {
        alloc::ScopedFailAfter fail(0);
        for (UINT codePage : codePages) {
            w.Encoding(false, codePage);
            w.WriteQuoted(WSTR("a;\"b\" \u00E9"));
            w.WriteQuoted(longText.c_str());
            w.WriteText(WSTR("<\u65E5>"), 1);
            w.WriteLiteral("</x>\n");
        }
    }
    EXPECT_EQ(before, alloc::LiveBlocks());
}

} // namespace
