// host/OptionsFile.h: the options string read from a file, refused where
// the filter would read less or other than the file says.
#pragma once

#include "TextConvert.h"

#include <string>

// The text of an options file: UTF-16 after a byte-order mark FF FE, else
// UTF-8 (a UTF-8 byte-order mark is skipped); line ends at its end dropped.
// False, with a one-line message, when the file cannot be read, holds a
// NUL, or is not well-formed UTF-8 or UTF-16; the message gives the byte
// offset from the file's start.
bool ReadOptionsFile(const std::string& path, WString* pOptions, std::string* pError);
