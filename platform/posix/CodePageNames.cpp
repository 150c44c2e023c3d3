// platform/posix/CodePageNames.cpp: the code pages Linux offers, each with
// the iconv character set behind it and the name Windows gives it.
#include "CodePage.h"

namespace codepage
{

namespace
{

constexpr Kind kSb = Kind::SingleByte;
constexpr Kind kMb = Kind::MultiByte;

// Ascending by identifier, for the binary search of Find. The names are
// those of CPINFOEXW.CodePageName on an English Windows, padding included.
const Info g_codePages[] = {
    {437, kSb, false, "CP437", u"437   (OEM - United States)", {}, u'?'},
    {737, kSb, false, "CP737", u"737   (OEM - Greek 437G)", {}, u'?'},
    {775, kSb, false, "CP775", u"775   (OEM - Baltic)", {}, u'?'},
    {850, kSb, false, "CP850", u"850   (OEM - Multilingual Latin I)", {}, u'?'},
    {852, kSb, false, "CP852", u"852   (OEM - Latin II)", {}, u'?'},
    {855, kSb, false, "CP855", u"855   (OEM - Cyrillic)", {}, u'?'},
    {857, kSb, false, "CP857", u"857   (OEM - Turkish)", {}, u'?'},
    {860, kSb, false, "CP860", u"860   (OEM - Portuguese)", {}, u'?'},
    {861, kSb, false, "CP861", u"861   (OEM - Icelandic)", {}, u'?'},
    {862, kSb, false, "CP862", u"862   (OEM - Hebrew)", {}, u'?'},
    {863, kSb, false, "CP863", u"863   (OEM - Canadian French)", {}, u'?'},
    {865, kSb, false, "CP865", u"865   (OEM - Nordic)", {}, u'?'},
    {866, kSb, false, "CP866", u"866   (OEM - Russian)", {}, u'?'},
    {869, kSb, true, "CP869", u"869   (OEM - Modern Greek)", {}, u'?'},
    {874, kSb, true, "CP874", u"874   (ANSI/OEM - Thai)", {}, u'?'},
    {932, kMb, false, "CP932", u"932   (ANSI/OEM - Japanese Shift-JIS)", {0x81, 0x9F, 0xE0, 0xFC}, 0x30FB},
    {936, kMb, false, "CP936", u"936   (ANSI/OEM - Simplified Chinese GBK)", {0x81, 0xFE}, u'?'},
    {949, kMb, false, "CP949", u"949   (ANSI/OEM - Korean)", {0x81, 0xFE}, u'?'},
    {950, kMb, false, "CP950", u"950   (ANSI/OEM - Traditional Chinese Big5)", {0x81, 0xFE}, u'?'},
    {1250, kSb, true, "CP1250", u"1250  (ANSI - Central Europe)", {}, u'?'},
    {1251, kSb, true, "CP1251", u"1251  (ANSI - Cyrillic)", {}, u'?'},
    {1252, kSb, true, "CP1252", u"1252  (ANSI - Latin I)", {}, u'?'},
    {1253, kSb, true, "CP1253", u"1253  (ANSI - Greek)", {}, u'?'},
    {1254, kSb, true, "CP1254", u"1254  (ANSI - Turkish)", {}, u'?'},
    {1255, kSb, true, "CP1255", u"1255  (ANSI - Hebrew)", {}, u'?'},
    {1256, kSb, true, "CP1256", u"1256  (ANSI - Arabic)", {}, u'?'},
    {1257, kSb, true, "CP1257", u"1257  (ANSI - Baltic)", {}, u'?'},
    {1258, kSb, true, "CP1258", u"1258  (ANSI/OEM - Viet Nam)", {}, u'?'},
    {10000, kSb, false, "MACINTOSH", u"10000 (MAC - Roman)", {}, u'?'},
    {10007, kSb, false, "CP10007", u"10007 (MAC - Cyrillic)", {}, u'?'},
    {20127, kSb, false, "ANSI_X3.4-1968", u"20127 (US-ASCII)", {}, u'?'},
    {20866, kSb, false, "KOI8-R", u"20866 (Russian - KOI8)", {}, u'?'},
    {21866, kSb, false, "KOI8-U", u"21866 (Ukrainian - KOI8-U)", {}, u'?'},
    {28591, kSb, false, "ISO-8859-1", u"28591 (ISO 8859-1 Latin I)", {}, u'?'},
    {28592, kSb, false, "ISO-8859-2", u"28592 (ISO 8859-2 Central Europe)", {}, u'?'},
    {28593, kSb, false, "ISO-8859-3", u"28593 (ISO 8859-3 Latin 3)", {}, u'?'},
    {28594, kSb, false, "ISO-8859-4", u"28594 (ISO 8859-4 Baltic)", {}, u'?'},
    {28595, kSb, false, "ISO-8859-5", u"28595 (ISO 8859-5 Cyrillic)", {}, u'?'},
    {28596, kSb, false, "ISO-8859-6", u"28596 (ISO 8859-6 Arabic)", {}, u'?'},
    {28597, kSb, false, "ISO-8859-7", u"28597 (ISO 8859-7 Greek)", {}, u'?'},
    {28598, kSb, false, "ISO-8859-8", u"28598 (ISO 8859-8 Hebrew: Visual Ordering)", {}, u'?'},
    {28599, kSb, false, "ISO-8859-9", u"28599 (ISO 8859-9 Latin 5)", {}, u'?'},
    {28603, kSb, false, "ISO-8859-13", u"28603 (ISO 8859-13 Latin 7)", {}, u'?'},
    {28605, kSb, false, "ISO-8859-15", u"28605 (ISO 8859-15 Latin 9)", {}, u'?'},
    {54936, Kind::Gb18030, false, "GB18030", u"54936 (GB18030 Simplified Chinese)", {}, u'?'},
    {65001, Kind::Utf8, false, "UTF-8", u"65001 (UTF-8)", {}, 0xFFFD},
};

constexpr size_t kCount = sizeof g_codePages / sizeof g_codePages[0];

// The last code page found on this thread: a writer asks for the same one
// text after text.
thread_local const Info* t_lastFound = nullptr;

const Info* Search(UINT id)
{
    size_t lo = 0;
    size_t hi = kCount;
    while (lo < hi) {
        size_t mid = (lo + hi) / 2;
        if (g_codePages[mid].id < id)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo < kCount && g_codePages[lo].id == id ? &g_codePages[lo] : nullptr;
}

} // namespace

const Info* Find(UINT id)
{
    if (t_lastFound && t_lastFound->id == id)
        return t_lastFound;
    const Info* found = Search(id);
    if (found)
        t_lastFound = found;
    return found;
}

const Info* First()
{
    return g_codePages;
}

const Info* Last()
{
    return g_codePages + kCount - 1;
}

} // namespace codepage
