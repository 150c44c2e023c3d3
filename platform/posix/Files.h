// platform/posix/Files.h: the Linux file name of a Windows path, shared by
// the file functions and the registry store.
#pragma once

#include "../Platform.h"

#include <limits.h>
#include <sys/stat.h>

namespace files
{

// Room for a Linux file name, terminator included: the longest name the
// kernel takes.
enum : size_t { kNativePathBytes = PATH_MAX };

// The Linux name of a Windows path: UTF-8 (a surrogate without its partner
// in the three-byte form of its own value, so that distinct Windows names
// stay distinct Linux names), with every backslash turned into "/", and "."
// and ".." resolved in the text, as Windows resolves them before it looks at
// the disk: "out\..\x" is "x" whether "out" exists or not. A ".." at the
// root stays at the root; ".." at the start of a relative name is kept.
// Nothing else changes: a drive letter such as C: stays part of a relative
// name, and a forward slash, an ordinary character to the filter, separates
// names here as it does in Windows' own file functions. Returns 0, or
// EINVAL for a null path, or ENAMETOOLONG when the name does not fit.
int ToNativePath(const WCHAR* pszPath, char (&szNative)[kNativePathBytes]);

// Resolves "." and ".." among the "/"-separated names of a Linux path, in
// place (PathText.cpp): a ".." drops the name before it; at the root it is
// dropped itself, and at the start of a relative name, or after another
// "..", it is kept. A name that resolves to nothing is ".".
void ResolveDots(char* sz);

// The C runtime's error number on Windows for a failure that Linux reports
// as nError: Windows reports a path through a file, or one too long, as
// missing (ENOENT) and a refusal of any kind as EACCES.
int WindowsErrno(int nError);

// Whether Windows would take the file for read-only: a regular file that
// nobody may write. Windows refuses to write, replace or delete such a file
// whoever asks, so the stand-in refuses the superuser too.
bool IsReadOnly(const struct stat& st);

// Tests only: a function the file functions call at the points where
// another export could slip in between two of their steps: "opened" after
// an open and before its lock, "held" after a rename, move or delete holds
// its file and before it acts. Null (the default) calls nothing.
void SetStepHook(void (*pfnHook)(const char* pszStep));

} // namespace files
