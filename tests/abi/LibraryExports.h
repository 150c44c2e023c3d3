// tests/abi/LibraryExports.h: the 32-bit module's exports of the host
// library's String and CAbort, called as a host built from that library's
// header calls them.
#pragma once

#include "HostRuntime.h"

#if defined(_M_IX86)
// Finds each export by the name the Microsoft compiler gives it and calls
// it: the members by thiscall, the operators by the C convention, and
// CAbort's operations through the exported virtual table.
void TestLibraryExports(Report& report, HMODULE hModule);
#endif
