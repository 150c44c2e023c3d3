// host/OptionsFile.cpp: reading and checking an options file. The filter
// reads the options as a terminated text, so a NUL would end them there
// without a word; and a text that is not what its encoding says would reach
// the filter as replacement characters. Either is refused instead.
#include "OptionsFile.h"

#include "../platform/Utf16.h"
#include "HostPlatform.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

namespace
{

bool ReadBytes(const std::string& path, std::string* pBytes, std::string* pError)
{
    FILE* file = host::OpenForReading(path);
    char block[8192];
    size_t n;
    while (file && (n = fread(block, 1, sizeof(block), file)) > 0)
        pBytes->append(block, n);
    bool bOk = file && !ferror(file);
    if (!bOk)
        *pError = "cannot read the options file " + path + ": " + strerror(errno);
    if (file)
        fclose(file);
    return bOk;
}

// UTF-16LE after the byte-order mark: an odd last byte or a surrogate
// without its partner is ill formed.
bool DecodeUtf16(const std::string& bytes, const std::string& path, WString* pText, std::string* pError)
{
    for (size_t i = 2; i < bytes.size(); i += 2) {
        if (i + 1 == bytes.size()) {
            *pError = "the options file " + path + " is not UTF-16: a lone byte at its end, offset " +
                      std::to_string(i);
            return false;
        }
        pText->push_back(static_cast<WCHAR>(static_cast<unsigned char>(bytes[i]) |
                                            static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    for (size_t i = 0; i < pText->size(); ++i) {
        WCHAR c = (*pText)[i];
        bool bPaired = IsHighSurrogate(c) && i + 1 < pText->size() && IsLowSurrogate((*pText)[i + 1]);
        if (IsSurrogate(c) && !bPaired) {
            *pError = "the options file " + path +
                      " is not UTF-16: a surrogate without its partner at byte offset " +
                      std::to_string(2 + 2 * i);
            return false;
        }
        i += bPaired ? 1 : 0;
    }
    return true;
}

} // namespace

bool ReadOptionsFile(const std::string& path, WString* pOptions, std::string* pError)
{
    std::string bytes;
    if (!ReadBytes(path, &bytes, pError))
        return false;
    pOptions->clear();
    bool bUtf16 = bytes.compare(0, 2, "\xFF\xFE") == 0;
    size_t nStart = bUtf16 ? 2 : bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    if (bUtf16 && !DecodeUtf16(bytes, path, pOptions, pError))
        return false;
    size_t nNul = bUtf16 ? pOptions->find(WCHAR(0)) : bytes.find('\0', nStart);
    if (nNul != std::string::npos) {
        size_t nOffset = bUtf16 ? 2 + 2 * nNul : nNul;
        // A NUL after each ASCII byte is UTF-16 read without its mark.
        bool bUtf16WithoutMark =
            !bUtf16 && nOffset % 2 == 1 && nOffset + 2 < bytes.size() && bytes[nOffset + 2] == 0;
        *pError = "the options file " + path + " holds a NUL at byte offset " + std::to_string(nOffset) +
                  ", where the filter would stop reading" +
                  (bUtf16WithoutMark ? " (a UTF-16 file needs the byte-order mark FF FE)" : "");
        return false;
    }
    if (!bUtf16) {
        std::string text = bytes.substr(nStart);
        size_t nBad = FindInvalidUtf8(text);
        if (nBad != std::string::npos) {
            *pError = "the options file " + path + " is not UTF-8: an ill-formed sequence at byte offset " +
                      std::to_string(nStart + nBad);
            return false;
        }
        *pOptions = Widen(text);
    }
    while (!pOptions->empty() && (pOptions->back() == '\n' || pOptions->back() == '\r'))
        pOptions->pop_back();
    return true;
}
