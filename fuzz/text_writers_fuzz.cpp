// fuzz/text_writers_fuzz.cpp: random UTF-16 texts, code pages and flags
// through QuoteCsv, WriteQuoted (with and without a delimiter before the
// text), WriteText and WriteLiteral. A writer must neither crash, nor loop,
// nor touch memory outside its buffers, and the bytes must be exactly those
// of the whole text: UTF-16LE, UTF-8 (escaped where asked), or the code
// page's bytes of each character in turn.
#include "output/TextWriter.h"
#include "tests/reference_text.h"

#include <stdio.h>
#include <stdlib.h>

namespace
{

// Known code pages of each kind, an unusable one, and the system's.
const UINT kCodePages[] = {1252, 850, 437, 1251, 1258,  874,   28591, 20127, 10000, 932,
                           936,  949, 950, 1361, 54936, 65001, 12345, 1200,  CP_ACP};

struct Input {
    bool unicode, csv, escape, literal, delimited;
    UINT codePage;
    WCHAR delimiter;
    size_t repeat;
    WString text;
};

Input Decode(const uint8_t* data, size_t size)
{
    Input in{};
    uint8_t flags = data[0];
    in.unicode = flags & 1;
    in.csv = flags & 2;
    in.escape = flags & 4;
    in.literal = flags & 8;
    in.delimited = flags & 0x10;
    in.codePage = data[1] < 200 ? kCodePages[data[1] % (sizeof kCodePages / sizeof kCodePages[0])]
                                : static_cast<UINT>(data[1]) << 8 | data[2];
    in.delimiter = static_cast<WCHAR>(data[2] | (flags & 0x80 ? data[3] << 8 : 0));
    if (in.delimiter == 0)
        in.delimiter = ',';
    // Short inputs grow into texts longer than the buffers now and then.
    in.repeat = flags & 0x40 ? 1 + data[3] % 128 : 1;
    WString unit;
    for (size_t i = 4; i + 1 < size; i += 2)
        unit += static_cast<WCHAR>(data[i] | data[i + 1] << 8);
    for (size_t r = 0; r < in.repeat; ++r)
        in.text += unit;
    in.text = in.text.c_str(); // up to the first NUL, as the writers see it
    return in;
}

bool NeedsQuotes(const WString& text, WCHAR delimiter)
{
    if (text.empty())
        return false;
    if (text.front() == ' ' || text.back() == ' ')
        return true;
    return text.find_first_of(WString{'\r', '\n', '"', delimiter}) != WString::npos;
}

// The text converted one character at a time: what the whole text must
// come to however the writer cuts it into pieces.
std::string PerCharacter(UINT cp, const WString& text)
{
    std::string bytes;
    for (size_t i = 0; i < text.size();) {
        bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                    text[i + 1] <= 0xDFFF;
        int k = pair ? 2 : 1;
        char buf[16];
        int n = WideCharToMultiByte(cp, 0, &text[i], k, buf, sizeof buf, nullptr, nullptr);
        bytes.append(buf, n > 0 ? n : 0);
        i += k;
    }
    return bytes;
}

// The bytes that must reach the file.
std::string Expected(const Input& in, const WString& written)
{
    if (in.unicode)
        return Utf16le(written);
    if (in.codePage != CP_UTF8 && (IsValidCodePage(in.codePage) || in.codePage <= CP_THREAD_ACP))
        return PerCharacter(in.codePage, written);
    std::string bytes = Utf8Of(written);
    return in.escape && in.codePage == CP_UTF8 ? Escaped(bytes) : bytes;
}

Options g_options;
TextWriter g_writer(g_options);

void CheckQuoteCsv(TextWriter& f, const Input& in)
{
    const WCHAR* result = f.QuoteCsv(in.text.c_str());
    if (!in.csv || !NeedsQuotes(in.text, in.delimiter)) {
        if (result != in.text.c_str())
            abort();
        return;
    }
    WString quoted = Quoted(in.text);
    if (quoted.size() + 1 > TextWriter::kQuoteBufUnits ? result != nullptr : quoted != result)
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    Input in = Decode(data, size);
    Options& o = g_options;
    TextWriter& f = g_writer;
    o.m_bUnicode = in.unicode;
    o.m_bCsv = in.csv;
    o.m_nCodePage = in.codePage;
    o.m_szDelimiter[0] = in.delimiter;
    o.m_szDelimiter[1] = 0;
    CheckQuoteCsv(f, in);

    char* buf = nullptr;
    size_t length = 0;
    FILE* file = open_memstream(&buf, &length);
    WString written = in.text;
    std::string before;
    if (in.literal) {
        std::string ascii(in.text.begin(), in.text.end());
        f.WriteLiteral(file, ascii.c_str());
        written.clear();
    } else if (in.escape) {
        f.WriteText(file, in.text.c_str(), 1);
    } else {
        // The record operations write the delimiter in the same call; it
        // is converted on its own, as a text of its own would be.
        f.WriteQuoted(file, in.text.c_str(), in.delimited ? o.m_szDelimiter : nullptr);
        if (in.csv && NeedsQuotes(in.text, in.delimiter))
            written = Quoted(in.text);
        if (in.delimited)
            before = Expected(in, WString(1, in.delimiter));
    }
    f.Flush();
    fclose(file);

    if (in.literal && length != strlen(std::string(in.text.begin(), in.text.end()).c_str()))
        abort();
    if (!in.literal && before + Expected(in, written) != std::string(buf, length))
        abort();
    free(buf);
    return 0;
}
