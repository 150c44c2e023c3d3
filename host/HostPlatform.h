// host/HostPlatform.h: what ferlo-export needs from the operating system:
// loading the plug-in by path, the folder it lies in, opening a file named
// on the command line, and whether stderr is a terminal. One implementation
// per system: HostPlatformPosix.cpp and HostPlatformWin.cpp. The entry
// points, EntryPosix.cpp and EntryWin.cpp, hand the arguments to HostMain as
// UTF-8.
#pragma once

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

// Why this build cannot show the filter's settings dialog, in one line, or
// null where it can.
const char* SettingsDialogUnavailable();

// The width of the terminal behind the stream, or 80 when unknown.
int TerminalColumns(FILE* stream);

} // namespace host
