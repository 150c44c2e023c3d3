// output/Directory.h: makes the output directory exist before anything is
// written, creating every missing level from the top down.
#pragma once

#include "../platform/Platform.h"

// Returns 1 when the directory pszDirectory (with or without a trailing
// backslash; the text is not changed) exists afterwards, 0 when it does
// not. When the creation of pszDirectory itself fails and pnError is given,
// the C runtime's error number of that failure is stored through it; a
// failure further up stores nothing.
int EnsureDirectory(const WCHAR* pszDirectory, int* pnError = nullptr);
