// host/OptionsCheck.h: what the filter will make of an options string, read
// by the project's own options scanner before the filter sees it: the
// settings it will use, the files they name, and a warning for everything
// it will ignore or read otherwise than a user probably meant.
#pragma once

#include "TextConvert.h"

#include <stdint.h>

#include <string>
#include <vector>

// The settings as ParseOptions leaves them: the groups applied in order,
// then the extension step and the MAP and XML rules.
struct FilterSettings {
    WString file;                 // with its derived extension; empty: none
    size_t nRefusedFileUnits = 0; // the length of a FILE too long to be taken
    bool bCsv = false;
    bool bOverwrite = false;
    bool bWriteHead = true;
    bool bSingle = false;
    bool bXml = false;
    bool bHeadline = false;
    bool bMap = false;
    WCHAR delimiter = 0; // 0: the user's list separator
    bool bUnicode = false;
    int32_t nCodePage = -1; // -1: the system's ANSI code page
};

// Reads the options. Each warning is one line that quotes its group.
FilterSettings ReadFilterSettings(const WString& options, std::vector<std::string>* pWarnings);

// The FILE value for a path in the system's own form: "/" becomes "\\",
// and a relative path starts with ".\\", so that the filter finds its folder.
// bDriveLetters: C:... is an absolute path.
WString FileItemOf(const std::string& path, bool bDriveLetters);

// The options with every FILE group's value replaced by file, or, without
// one, a FILE group put before the first group. False when the file holds
// "]", which would end the value.
bool ReplaceFileItem(const WString& options, const WString& file, WString* pResult);

// The final name of each table's file in one-file mode: FILE for a single
// table, else FILE's base, "-", the table's name and FILE's extension.
std::vector<WString> TableFileNames(const FilterSettings& settings, const std::vector<std::string>& tables);
