// tests/text_writer_test.cpp: the bytes the text writers put into a file, against the reference text:
// the CSV rule, each encoding with and without XML escaping, long texts, odd code pages, no stream.
#include "reference_text.h"
#include "temp_dir.h"

#include "output/TextWriter.h"

#include <gtest/gtest.h>

namespace
{

// A writer over options of its own, writing to a fresh directory (tmpfile would use the drive's root).
struct Writer {
    Options options;
    TextWriter writer{options};
    TempDir dir;
    FILE* file = fopen((dir.Native() / "out").string().c_str(), "w+b");

    Writer(bool unicode, UINT codePage, int csv = 0, const WCHAR* pszDelimiter = WSTR(";"))
    {
        options.m_bUnicode = unicode;
        options.m_nCodePage = codePage;
        options.m_bCsv = csv;
        wcscpy(options.m_szDelimiter, pszDelimiter);
    }
    ~Writer() { fclose(file); }
    std::string Written()
    {
        writer.Flush();
        fflush(file);
        return ReadBytes(dir.Native() / "out");
    }
};

std::string Write(bool unicode, UINT codePage, const WString& text, int escape, int csv = -1)
{
    Writer w(unicode, codePage, csv > 0);
    csv < 0 ? w.writer.WriteText(w.file, text.c_str(), escape) : w.writer.WriteQuoted(w.file, text.c_str());
    return w.Written();
}

// The CSV rule, with the delimiter's first character as the one that counts.
TEST(QuoteCsv, QuotesExactlyWhereTheRuleAsks)
{
    const struct {
        int csv;
        const WCHAR *delimiter, *text, *quoted; // quoted null: the text itself comes back
    } rows[] = {{0, WSTR(";"), WSTR("a;\"b\""), nullptr},
                {1, WSTR(";"), WSTR(""), nullptr},
                {1, WSTR(";"), WSTR("a b"), nullptr},
                {1, WSTR(";"), WSTR(" "), WSTR("\" \"")},
                {1, WSTR(";"), WSTR(" a"), WSTR("\" a\"")},
                {1, WSTR(";"), WSTR("a "), WSTR("\"a \"")},
                {1, WSTR(";"), WSTR("a\t"), nullptr},
                {1, WSTR(";"), WSTR("a;b"), WSTR("\"a;b\"")},
                {1, WSTR(","), WSTR("a;b"), nullptr},
                {1, WSTR("\t"), WSTR("a\tb"), WSTR("\"a\tb\"")},
                {1, WSTR("\u00A7"), WSTR("a\u00A7b"), WSTR("\"a\u00A7b\"")},
                {1, WSTR(";|"), WSTR("a|b"), nullptr},
                {1, WSTR(";"), WSTR("say \"hi\""), WSTR("\"say \"\"hi\"\"\"")},
                {1, WSTR(";"), WSTR("\""), WSTR("\"\"\"\"")},
                {1, WSTR(";"), WSTR("a\r\nb"), WSTR("\"a\r\nb\"")},
                {1, WSTR(";"), WSTR("\n"), WSTR("\"\n\"")},
                {1, WSTR(";"), WSTR("x\r"), WSTR("\"x\r\"")},
                {1, WSTR(";"), WSTR("\u00E9;\U0001F600"), WSTR("\"\u00E9;\U0001F600\"")}};
    for (const auto& row : rows) {
        SCOPED_TRACE(Narrow(row.text) + " with " + Narrow(row.delimiter));
        Writer w(false, 1252, row.csv, row.delimiter);
        const WCHAR* result = w.writer.QuoteCsv(row.text);
        EXPECT_EQ(row.quoted ? WString(row.quoted) : row.text, WString(result));
        EXPECT_EQ(!row.quoted, result == row.text) << "the argument itself";
    }
}

#if defined(_WIN32)
const char kBestFit932[] = "65 65 75 73"; // Windows writes a look-alike where 932 lacks a letter
#else
const char kBestFit932[] = "3F 3F 3F 3F"; // Linux has no such "best fit" tables
#endif

// The bytes of each encoding; "" is the text's UTF-8 (ASCII every code page keeps). Escaping changes
// UTF-8 output alone.
TEST(TextWriter, EachEncodingWritesTheExactBytes)
{
    const WCHAR controls[] = {0x01, 0x09, 0x0D, 0x0A, 0x1F, 0x7F, 0};
    const struct {
        WString text;
        const char *cp1252, *cp850, *cp932, *cp936, *utf8;
    } rows[] = {
        {WSTR("Name;Wert 42"), "", "", "", "", ""},
        {controls, "", "", "", "", ""},
        {WSTR("<a & 'b'>\""), "", "", "", "", ""},
        {WSTR("\u00E9\u00E8\u00FC\u00DF"), "E9 E8 FC DF", "82 8A 81 E1", kBestFit932, "A8 A6 A8 A8 A8 B9 3F",
         "C3 A9 C3 A8 C3 BC C3 9F"},
        {WSTR("\u041F\u0440\u0438"), "3F 3F 3F", "3F 3F 3F", "84 50 84 82 84 79", "A7 B1 A7 E2 A7 DA",
         "D0 9F D1 80 D0 B8"},
        {WSTR("\u65E5\u672C\u4E2D\u6587"), "3F 3F 3F 3F", "3F 3F 3F 3F", "93 FA 96 7B 92 86 95 B6",
         "C8 D5 B1 BE D6 D0 CE C4", "E6 97 A5 E6 9C AC E4 B8 AD E6 96 87"},
        {WSTR("\u20AC"), "80", "3F", "3F", "80", "E2 82 AC"},
        // A character beyond the BMP is two units, and each lacks a byte.
        {WSTR("\U0001F600"), "3F 3F", "3F 3F", "3F 3F", "3F 3F", "F0 9F 98 80"},
        {WString{0xD83D, 'x', 0xDE00, 0xD83D}, "3F 78 3F 3F", "3F 78 3F 3F", "3F 78 3F 3F", "3F 78 3F 3F",
         "EF BF BD 78 EF BF BD EF BF BD"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(Narrow(row.text.c_str()));
        auto Bytes = [&](const char* hex) { return *hex ? Hex(hex) : Utf8Of(row.text); };
        for (int escape = 0; escape <= 1; ++escape) {
            SCOPED_TRACE(escape ? "escape on" : "escape off");
            EXPECT_EQ(Bytes(row.cp1252), Write(false, 1252, row.text, escape));
            EXPECT_EQ(Bytes(row.cp850), Write(false, 850, row.text, escape));
            EXPECT_EQ(Bytes(row.cp932), Write(false, 932, row.text, escape));
            EXPECT_EQ(Bytes(row.cp936), Write(false, 936, row.text, escape));
            std::string utf8 = Bytes(row.utf8);
            EXPECT_EQ(escape ? Escaped(utf8) : utf8, Write(false, CP_UTF8, row.text, escape));
            EXPECT_EQ(Utf16le(row.text), Write(true, 1252, row.text, escape));
        }
    }
}

// A code page the system lacks writes UTF-8, unescaped: nothing lost or garbled. 0 is the system's.
TEST(TextWriter, CodePagesThatAreNotTheirNumber)
{
    for (UINT codePage : {12345u, 1200u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(codePage);
        ASSERT_FALSE(IsValidCodePage(codePage));
        EXPECT_EQ("A\xC3\xA9<\xF0\x9F\x98\x80", Write(false, codePage, WSTR("A\u00E9<\U0001F600"), 1));
    }
    const WCHAR* text = WSTR("Gr\u00FC\u00DFe \u65E5");
    EXPECT_EQ(Write(false, GetACP(), text, 0), Write(false, CP_ACP, text, 0));
}

// EBCDIC code pages and UTF-7 ("+" is "+-") write ASCII as other bytes: ASCII is copied as it stands
// only where the code page keeps it, asked again at each change. Linux lacks them (UTF-8); Windows has.
TEST(TextWriter, AsciiStaysAsItIsOnlyWhereTheCodePageKeepsIt)
{
    WString ascii = WSTR("\t\r\n");
    for (WCHAR c = 0x20; c < 0x7F; ++c)
        ascii += c;
    Writer w(false, 0);
    size_t before = 0;
    for (UINT codePage : {1252, 37, 1252, 1026, 65000, 20106, 50220, CP_UTF8, 37}) {
        SCOPED_TRACE(codePage);
        std::string expected = Utf8Of(ascii);
        char bytes[1024];
        if (int n = WideCharToMultiByte(codePage, 0, ascii.c_str(), static_cast<int>(ascii.size()), bytes,
                                        sizeof bytes, nullptr, nullptr))
            expected.assign(bytes, static_cast<size_t>(n));
        w.options.m_nCodePage = codePage;
        w.writer.WriteText(w.file, ascii.c_str(), 0);
        std::string written = w.Written();
        EXPECT_EQ(expected, written.substr(before));
        before = written.size();
    }
}

// The delimiter handed to WriteQuoted with the value writes the bytes of the two written apart: a value
// filling the buffer, one in pieces, one beyond the quoting buffer, a delimiter that is half a pair.
TEST(TextWriter, DelimiterWithTheValueIsTheTwoWrittenApart)
{
    const size_t kBytes = TextWriter::kConvBufBytes;
    const WCHAR highSurrogate[] = {0xD83D, 0};
    const struct {
        bool unicode;
        UINT codePage;
        const WCHAR* delimiter;
        WString text;
    } rows[] = {{false, 1252, WSTR(";"), WSTR("")},
                {false, 1252, WSTR(";"), WString(kBytes, WSTR('a'))},
                {false, CP_UTF8, WSTR("\u00A7"), WString(kBytes - 1, WSTR('a'))},
                {false, 932, WSTR("\t"), WString(kBytes / 2, WCHAR(0x00E9))},
                {true, 1252, WSTR("::"), WString(40000, WSTR('"'))},
                {false, CP_UTF8, highSurrogate, WSTR("\xDE00x")},
                {false, 12345, WSTR(";"), WSTR(" a;b \"c\" Gr\u00FC\u00DFe")}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.codePage) + ", " + std::to_string(row.text.size()) + " units");
        Writer joined(row.unicode, row.codePage, 1, row.delimiter), apart(row.unicode, row.codePage, 1);
        joined.writer.WriteQuoted(joined.file, row.text.c_str(), row.delimiter);
        apart.writer.WriteText(apart.file, row.delimiter, 0);
        apart.writer.WriteQuoted(apart.file, row.text.c_str());
        EXPECT_TRUE(joined.Written() == apart.Written());
    }
}

// Texts longer than the buffers are written whole in every form, no surrogate pair split between pieces.
TEST(TextWriter, LongTextIsWrittenWhole)
{
    const WString motifs[] = {
        WSTR("a\"<\u00E9\u65E5\U0001F600&' ;>"), WSTR("x\U0001F600\U0001F601\U0001F602\""),
        WSTR("\U0001F600\U0001F601\"\U0001F602"), WSTR("\""), WSTR("\u00E9t\u00E9 \"x\";\u00FF")};
    for (const WString& motif : motifs) {
        for (size_t n : {32766, 32767, 65535, 200000}) {
            SCOPED_TRACE(Narrow(motif.c_str()) + ", " + std::to_string(n) + " units");
            WString text;
            while (text.size() < n)
                text += motif;
            text.resize(n);
            if (&motif == &motifs[4]) { // Latin-1 letters are their own bytes in code page 1252
                EXPECT_EQ(std::string(text.begin(), text.end()), Write(false, 1252, text, 1));
                WString quoted = Quoted(text);
                EXPECT_EQ(std::string(quoted.begin(), quoted.end()), Write(false, 1252, text, 0, 1));
                continue;
            }
            std::string utf8 = Utf8Of(text);
            EXPECT_EQ(Escaped(utf8), Write(false, CP_UTF8, text, 1)) << "escaped";
            EXPECT_EQ(utf8, Write(false, CP_UTF8, text, 0)) << "unescaped";
            EXPECT_EQ(utf8, Write(false, CP_UTF8, text, 0, 0)) << "CSV off";
            EXPECT_EQ(Utf8Of(Quoted(text)), Write(false, CP_UTF8, text, 0, 1)) << "quoted";
            EXPECT_EQ(Utf16le(Quoted(text)), Write(true, CP_UTF8, text, 0, 1)) << "Unicode";
        }
    }
}

// QuoteCsv gives the quoted form while it fits its buffer with the terminator, null from one unit more.
TEST(TextWriter, QuoteCsvFitsUpToTheBuffer)
{
    const struct {
        WString text;
        bool fits;
    } rows[] = {{WString(32766, WSTR('"')), true},
                {WString(32767, WSTR('"')), false},
                {WString(65532, WSTR('a')) + WSTR(";"), true},
                {WString(65533, WSTR('a')) + WSTR(";"), false},
                {WString(199999, WSTR('a')) + WSTR(";"), false}};
    Writer w(false, 1252, 1);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text.size());
        const WCHAR* result = w.writer.QuoteCsv(row.text.c_str());
        EXPECT_EQ(row.fits ? Quoted(row.text) : WSTR("(null)"), WString(result ? result : WSTR("(null)")));
    }
}

// No stream, or an empty text, writes nothing.
TEST(TextWriter, EmptyTextsAndNoStreamWriteNothing)
{
    Writer w(false, 1252, 1);
    w.writer.WriteText(w.file, WSTR(""), 1);
    w.writer.WriteText(w.file, nullptr, 0);
    w.writer.WriteQuoted(w.file, WSTR(""));
    w.writer.WriteLiteral(w.file, "");
    w.writer.WriteText(nullptr, WSTR("text"), 0);
    w.writer.WriteQuoted(nullptr, WSTR("a;b"), WSTR(";"));
    w.writer.WriteLiteral(nullptr, "<x>");
    EXPECT_EQ("", w.Written());
}

} // namespace
