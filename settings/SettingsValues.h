// settings/SettingsValues.h: the working values of the settings dialog, read
// from an options string and turned back into one, and the last confirmed
// options string, kept in the current user's registry.
#pragma once

#include "../platform/Platform.h"

#include <stdint.h>

// The choices of one settings dialog. The dialog binds each radio button to
// a flag of its own, so a choice between two or more buttons has a flag per
// button; the builder reads the first flag that is set.
struct SettingsValues {
    enum : int {
        kFileUnits = 2049, // 2048 units and the terminator
        kOtherDelimiterUnits = 32,
    };

    WCHAR szFile[kFileUnits] = {};
    int32_t bCsv = 0;
    int32_t bOverwrite = 0;
    int32_t bWriteHead = 1;
    int32_t bSingle = 0;
    int32_t bDatabaseFile = 1; // 1 - bSingle
    int32_t bXml = 0;
    int32_t bTextFile = 1; // 1 - bXml
    int32_t bHeadline = 0;
    int32_t bDelimSystem = 1;
    int32_t bDelimComma = 0;
    int32_t bDelimSemicolon = 0;
    int32_t bDelimTab = 0;
    int32_t bDelimSpace = 0;
    int32_t bDelimOther = 0;
    WCHAR szOtherDelimiter[kOtherDelimiterUnits] = {};
    int32_t bUseCodePage = 1;
    int32_t bUnicode = 0;
    // The code page number an options string named, -1 for none. The dialog
    // looks it up in its list of code pages to set nCodePageIndex.
    int32_t nWantedCodePage = -1;
    // The chosen entry of the dialog's code page list; 0 is the system code
    // page, -1 none yet.
    int32_t nCodePageIndex = -1;
    // 0 when the dialog serves a map export.
    int32_t bNotMap = 1;
};

// Reads the groups of an options string into the values, by the grammar of
// ParseOptions; the text is not changed. A flag that the text does not name,
// and a delimiter choice that it does not make, keep their values. FILE is
// taken as written, without an extension; one longer than 2048 units is
// refused and leaves szFile empty.
void ReadSettingsValues(const WCHAR* pszOptions, SettingsValues& values);

// Room for the longest options string BuildOptionsString makes.
enum : int { kBuiltOptionsUnits = 2304 };

// Builds the options string of the values: every key once, in a fixed order.
// nCodePage is the number of the chosen code page entry, written when
// neither Unicode nor the system code page is chosen.
void BuildOptionsString(const SettingsValues& values, UINT nCodePage, WCHAR (&szOptions)[kBuiltOptionsUnits]);

// The registry holds the last confirmed options string. At most this many
// bytes are read (16383 units and the terminator); a longer value counts as
// missing.
enum : int {
    kStoredOptionsBytes = 32768,
    kStoredOptionsUnits = kStoredOptionsBytes / 2 + 1, // and a terminator of our own
};

// Reads the stored options string into szOptions; empty when the key cannot
// be opened or holds no usable value. pszRegistryKey is the host's key path
// below HKEY_CURRENT_USER, or null for the plug-in's own key.
void LoadStoredOptions(const WCHAR* pszRegistryKey, WCHAR (&szOptions)[kStoredOptionsUnits]);

// Stores the options string; a failure leaves the registry as it was and is
// not reported.
void StoreOptions(const WCHAR* pszRegistryKey, const WCHAR* pszOptions);
