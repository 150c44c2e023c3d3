// fuzz/settings_values_fuzz.cpp: random UTF-16 texts through
// ReadSettingsValues and BuildOptionsString. Reading must neither crash nor
// write outside a value, must leave each pair of radio flags opposite, and
// must not change the text; and a string built from what was read must
// build the same string again once read back: every choice that can be read
// survives the trip, unless a value holds a "]": the grammar has no escape,
// and a value can only have come to hold one through a group whose "="
// stood after its "]".
#include "fuzz_input.h"
#include "settings/SettingsValues.h"

#include <stdio.h>
#include <stdlib.h>

namespace
{

void Check(bool bHolds, const char* pszWhat)
{
    if (!bHolds) {
        fprintf(stderr, "broken: %s\n", pszWhat);
        abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    UseOptionsDictionary(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::basic_string<WCHAR> options = TextOf(data, size);
    std::basic_string<WCHAR> copy = options;
    SettingsValues read;
    ReadSettingsValues(copy.c_str(), read);
    Check(copy == options, "the text is not changed");
    Check(read.bDatabaseFile == 1 - read.bSingle && read.bTextFile == 1 - read.bXml,
          "radio pairs are opposite");
    Check(read.szFile[SettingsValues::kFileUnits - 1] == 0, "the file name ends inside its value");
    if (wcschr(read.szFile, WSTR(']')) || wcschr(read.szOtherDelimiter, WSTR(']')))
        return 0;
    const UINT nCodePage = static_cast<UINT>(read.nWantedCodePage);
    WCHAR szFirst[kBuiltOptionsUnits];
    BuildOptionsString(read, nCodePage, szFirst);
    SettingsValues back;
    ReadSettingsValues(szFirst, back);
    WCHAR szSecond[kBuiltOptionsUnits];
    BuildOptionsString(back, nCodePage, szSecond);
    Check(std::basic_string<WCHAR>(szFirst) == szSecond, "a built string reads back to itself");
    return 0;
}
