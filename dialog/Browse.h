// dialog/Browse.h: the Browse button of the output file name.
#pragma once

#include "../platform/Platform.h"

// The output file name field that Browse starts from and writes back into.
const int kOutputFileControl = 2019;

// A click callback: opens the open-file dialog on the field's file, or on
// the folder of the host's idx.zrx when the field is empty, and puts the
// chosen full path into the field. Cancelling leaves the field alone.
void BrowseForOutputFile(HWND hDlg);
