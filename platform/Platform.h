// platform/Platform.h: the one door to the operating system.
//
// The product calls the Win32 and C-runtime functions it needs by their
// Windows names, through this header only. On Windows they are the real ones;
// on Linux platform/posix/ provides exactly the subset the product calls.
// All text in memory is UTF-16 in 16-bit units: WCHAR is wchar_t on Windows
// and char16_t on Linux, and WSTR("...") makes a literal of that type.
#pragma once

#if defined(_WIN32)
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <wchar.h>
#include <windows.h>
#define FERLO_WSTR_(s) L##s
// msvcrt.dll, the C runtime the module links, lacks _fwrite_nolock, the
// stream write without the lock; there fwrite, the same with the lock,
// stands in.
#if defined(__MINGW32__) && !defined(_UCRT) && __MSVCRT_VERSION__ < 0x800
inline size_t _fwrite_nolock(const void* buffer, size_t size, size_t count, FILE* stream)
{
    return fwrite(buffer, size, count, stream);
}
#endif
#else
#include "posix/Win32.h"
#define FERLO_WSTR_(s) u##s
#endif

#define WSTR(s) FERLO_WSTR_(s)

// The member-call convention of the host's compiler: on 32-bit x86 the
// object travels in ECX and the callee removes its arguments (thiscall).
// Elsewhere the platform has a single convention for members.
#if defined(_WIN32) && defined(__i386__)
#define ZRCALL __thiscall
#else
#define ZRCALL
#endif

// The flag of Destroy, slot 0 of every object the host's compiler destroys
// (its deleting destructor): bit 0 asks for the memory to be freed.
enum : unsigned int { kDestroyFree = 1 };

static_assert(sizeof(WCHAR) == 2, "text in memory is UTF-16 in 16-bit units");
