// platform/posix/CodePageTables.cpp: the conversion tables of the code
// pages, built once per process and code page from the C library's iconv,
// so that converting a text never calls iconv and never allocates.
#include "CodePage.h"

#include <atomic>
#include <iconv.h>
#include <pthread.h>

namespace codepage
{

namespace
{

constexpr size_t kMaxCodePages = 64;

// A built table per entry of the code page list. Tables are like the
// system's own code page files on Windows: mapped for the life of the
// process, never released.
std::atomic<const void*> g_tables[kMaxCodePages];
pthread_mutex_t g_buildLock = PTHREAD_MUTEX_INITIALIZER;

size_t IndexOf(const Info& cp)
{
    return static_cast<size_t>(&cp - First());
}

// Where Windows' table of a code page differs from the C library's
// character set of the same name (an older edition of the standard, a
// vendor's variant): bytes and the unit they stand for, 0xFFFF for bytes
// Windows leaves undefined, and bytes 0 for a unit Windows has no bytes for
// even by best fit.
struct Override {
    UINT cp;
    uint32_t bytes;
    WCHAR unit;
};

const Override g_overrides[] = {
    {932, 0x80, 0x0080},   {932, 0, 0x2014},      {932, 0, 0x2016},      {932, 0, 0x203E},
    {932, 0, 0x2212},      {932, 0, 0x301C},      {949, 0x80, 0x0080},   {950, 0xF9F9, 0x2550},
    {950, 0xF9E9, 0x255E}, {950, 0xF9EB, 0x2561}, {950, 0xF9EA, 0x256A}, {1255, 0xCA, 0x05BA},
    {21866, 0xAE, 0x045E}, {21866, 0xBE, 0x040E}, {10000, 0xBD, 0x2126}, {10000, 0xC6, 0x2206},
    {10000, 0xF0, 0xF8FF}, {10007, 0xB6, 0x2202}, {28597, 0xA1, 0x02BD}, {28597, 0xA2, 0x02BC},
    {28597, 0xA4, 0xFFFF}, {28597, 0xA5, 0xFFFF}, {28597, 0xAA, 0xFFFF}, {28598, 0xAF, 0x203E},
    {28598, 0xFD, 0xFFFF}, {28598, 0xFE, 0xFFFF},
};

void Remap(SingleByteTable& table, BYTE b, WCHAR unit)
{
    WCHAR old = table.toUnit[b];
    if (old != 0xFFFF && table.toBytes[old] == b)
        table.toBytes[old] = 0;
    table.toUnit[b] = unit;
    if (unit != 0xFFFF)
        table.toBytes[unit] = b;
}

void ApplyOverrides(const Info& cp, SingleByteTable& table)
{
    for (const auto& o : g_overrides)
        if (o.cp == cp.id)
            Remap(table, static_cast<BYTE>(o.bytes), o.unit);
}

void ApplyOverrides(const Info& cp, MultiByteTable& table)
{
    for (const auto& o : g_overrides)
        if (o.cp == cp.id)
            table.toBytes[o.unit] = o.bytes;
}

// Converts one character alone, from a fresh shift state to the initial
// one again; the byte count, or -1 when iconv has no mapping for it.
int ConvertOne(iconv_t cd, const char* in, size_t inLen, char* out, size_t outCap)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* pIn = const_cast<char*>(in);
    char* pOut = out;
    size_t inLeft = inLen;
    size_t outLeft = outCap;
    if (iconv(cd, &pIn, &inLeft, &pOut, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
        return -1;
    if (iconv(cd, nullptr, nullptr, &pOut, &outLeft) == static_cast<size_t>(-1))
        return -1;
    return static_cast<int>(pOut - out);
}

// Single-byte tables come from decoding each of the 256 bytes, so that
// every unit that has a byte converts back to the same unit.
void* BuildSingleBytes(const Info& cp)
{
    iconv_t cd = iconv_open("UTF-16LE", cp.iconvName);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return nullptr;
    auto* table = static_cast<SingleByteTable*>(calloc(1, sizeof(SingleByteTable)));
    for (int b = 0; table && b < 256; ++b) {
        char in = static_cast<char>(b);
        char out[8];
        WCHAR unit = 0xFFFF;
        if (ConvertOne(cd, &in, 1, out, sizeof out) == 2)
            unit = static_cast<WCHAR>(static_cast<BYTE>(out[0]) | static_cast<BYTE>(out[1]) << 8);
        else if (cp.c1Holes && b >= 0x80 && b <= 0x9F)
            unit = static_cast<WCHAR>(b);
        table->toUnit[b] = unit;
        if (unit != 0xFFFF && (unit == 0 || table->toBytes[unit] == 0))
            table->toBytes[unit] = static_cast<BYTE>(b);
    }
    iconv_close(cd);
    if (table)
        ApplyOverrides(cp, *table);
    return table;
}

// Multi-byte tables come from encoding each unit outside the surrogates:
// iconv knows which of several byte sequences of a character Windows
// writes.
void* BuildMultiBytes(const Info& cp)
{
    iconv_t cd = iconv_open(cp.iconvName, "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return nullptr;
    auto* table = static_cast<MultiByteTable*>(calloc(1, sizeof(MultiByteTable)));
    for (uint32_t u = 1; table && u < 65536; ++u) {
        if (IsSurrogate(static_cast<WCHAR>(u)))
            continue;
        char in[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
        char out[16];
        int n = ConvertOne(cd, in, 2, out, sizeof out);
        uint32_t packed = 0;
        for (int i = 0; i < n && n <= 4; ++i)
            packed = packed << 8 | static_cast<BYTE>(out[i]);
        table->toBytes[u] = packed;
    }
    iconv_close(cd);
    if (table)
        ApplyOverrides(cp, *table);
    return table;
}

const void* Table(const Info& cp, void* (*build)(const Info&))
{
    size_t index = IndexOf(cp);
    if (index >= kMaxCodePages)
        return nullptr;
    const void* table = g_tables[index].load(std::memory_order_acquire);
    if (table)
        return table;
    pthread_mutex_lock(&g_buildLock);
    table = g_tables[index].load(std::memory_order_relaxed);
    if (!table) {
        table = build(cp);
        g_tables[index].store(table, std::memory_order_release);
    }
    pthread_mutex_unlock(&g_buildLock);
    return table;
}

} // namespace

const SingleByteTable* SingleBytes(const Info& cp)
{
    return static_cast<const SingleByteTable*>(Table(cp, BuildSingleBytes));
}

const MultiByteTable* MultiBytes(const Info& cp)
{
    return static_cast<const MultiByteTable*>(Table(cp, BuildMultiBytes));
}

} // namespace codepage
