// fuzz/fuzz_input.h: what the options fuzz targets share: the fuzzer's bytes
// as a UTF-16 text, and the grammar's dictionary, used unless the command
// line names another.
#pragma once

#include "platform/Platform.h"

#include <stdint.h>
#include <string.h>
#include <string>

// The bytes as UTF-16LE units, an odd last byte dropped, terminated; a
// zero unit inside ends the text there, as it would for the host.
inline std::basic_string<WCHAR> TextOf(const uint8_t* data, size_t size)
{
    std::basic_string<WCHAR> text(size / 2, 0);
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<WCHAR>(data[2 * i] | data[2 * i + 1] << 8);
    return text;
}

// Adds -dict=<the grammar's dictionary> to libFuzzer's arguments when none
// is given, so every run knows the keywords and "[", "]", "=".
inline void UseOptionsDictionary(int* argc, char*** argv)
{
    for (int i = 1; i < *argc; ++i)
        if (strncmp((*argv)[i], "-dict=", 6) == 0)
            return;
    static std::string s_dict = "-dict=" FERLO_OPTIONS_DICT;
    static char** s_args = new char*[*argc + 2];
    memcpy(s_args, *argv, sizeof(char*) * *argc);
    s_args[(*argc)++] = &s_dict[0];
    s_args[*argc] = nullptr;
    *argv = s_args;
}
