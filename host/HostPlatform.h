// host/HostPlatform.h: what ferlo-export needs from the operating system:
// loading the plug-in by path, the folder it lies in, opening a file named
// on the command line, and whether stderr is a terminal. One implementation
// per system: HostPlatformPosix.cpp and HostPlatformWin.cpp. The entry
// points, EntryPosix.cpp and EntryWin.cpp, hand the arguments to HostMain as
// UTF-8.
#pragma once

#include <stdint.h>
#include <stdio.h>

#include <string>
#include <vector>

// The program proper (main.cpp), with the arguments after the program name.
int HostMain(const std::vector<std::string>& args);

namespace host
{

// Loads a library from a file path (UTF-8). A path without any directory is
// a file in the current directory, never a name searched for elsewhere.
// Returns null and the system's reason when it cannot be loaded. Libraries
// stay loaded for the life of the process, as in the product's host.
void* LoadLibraryFile(const std::string& path, std::string* pReason);

// The address of an exported function, or null.
void* FindExport(void* pLibrary, const char* pszName);

// The plug-in library built beside this program.
std::string DefaultPluginPath();

// Opens a file for reading in binary mode (path in UTF-8), as fopen does.
FILE* OpenForReading(const std::string& path);

bool IsTerminal(FILE* stream);

// Whether a path may begin with a drive letter, as C:\out: then it is an
// absolute path of the system's own form.
bool HasDriveLetters();

// The system's name of a path in the filter's form (backslashes), UTF-8.
std::string SystemPath(const std::string& filterPath);

// The size of the file at path, or -1 when there is none.
int64_t FileSize(const std::string& path);

// Whether two paths name the same existing file.
bool SameFile(const std::string& path1, const std::string& path2);

// Why the filter cannot write the file at path (the system's name): an
// errno value, kHeldByAnother while another export holds the file open, or
// 0 when no reason shows. A file that does not exist is made and removed
// again, as only that shows what the file system says to it.
enum { kHeldByAnother = -1 };
int WhyNotWritable(const std::string& path);

// Why the folder at path (the system's name) cannot be made, as an errno
// value: the host tries to make it, and removes it again if that succeeds
// (0).
int WhyNoFolder(const std::string& path);

// The name of the filter's work file with the unique number n in a folder,
// both in the filter's form.
std::string WorkFileName(const std::string& folder, unsigned n);

// Why this build cannot show the filter's settings dialog, in one line, or
// null where it can.
const char* SettingsDialogUnavailable();

// The width of the terminal behind the stream, or 80 when unknown.
int TerminalColumns(FILE* stream);

} // namespace host
