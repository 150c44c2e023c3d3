// bench/configure_timing.cpp: how long the settings dialog takes to appear
// after Configure is called, and how much of that time is the platform
// answering about the 65,536 code page numbers. Windows builds only; run it
// beside ferlo.dll, whose resources the dialog comes from:
//
//   configure_timing [runs]
//
// Prints the median of each figure over the runs (default 3).
#include "filter/LibraryEntry.h"
#include "settings/SettingsDialog.h"

#include <windows.h>

#include <algorithm>
#include <stdio.h>
#include <stdlib.h>
#include <vector>

namespace {

const WCHAR kKey[] = L"Software\\Ferlo Bench\\Configure";
HHOOK g_hHook;
LARGE_INTEGER g_shown;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

// The dialog counts as shown when the window system activates it, after
// its controls were filled; it is cancelled at once.
LRESULT CALLBACK OnWindowEvent(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_ACTIVATE && g_shown.QuadPart == 0) {
        QueryPerformanceCounter(&g_shown);
        PostMessageW(reinterpret_cast<HWND>(wParam), WM_COMMAND, IDCANCEL, 0);
    }
    return CallNextHookEx(g_hHook, nCode, wParam, lParam);
}

double UntilShown()
{
    g_shown.QuadPart = 0;
    g_hHook = SetWindowsHookExW(WH_CBT, OnWindowEvent, nullptr, GetCurrentThreadId());
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    CString result;
    ConfigureSettings(kKey, L"", result);
    UnhookWindowsHookEx(g_hHook);
    return g_shown.QuadPart ? Seconds(start, g_shown) : -1;
}

// The platform's part of building the list: the same questions, nothing else.
double PlatformScan(int& nInstalled)
{
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    nInstalled = 0;
    for (UINT n = 0; n <= 0xFFFF; ++n) {
        CPINFOEXW info;
        if (IsValidCodePage(n) && GetCPInfoExW(n, 0, &info))
            ++nInstalled;
    }
    QueryPerformanceCounter(&end);
    return Seconds(start, end);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    int nRuns = argc > 1 ? atoi(argv[1]) : 3;
    g_hInstance = LoadLibraryExW(L"ferlo.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!g_hInstance || nRuns < 1) {
        fprintf(stderr, "usage: configure_timing [runs], beside ferlo.dll\n");
        return 2;
    }
    std::vector<double> shown, scan;
    int nInstalled = 0;
    for (int i = 0; i < nRuns; ++i) {
        shown.push_back(UntilShown());
        scan.push_back(PlatformScan(nInstalled));
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    double nShown = Median(shown), nScan = Median(scan);
    printf("runs: %d, installed code pages: %d\n", nRuns, nInstalled);
    printf("Configure until the dialog shows: %.3f s\n", nShown);
    printf("the platform's code page answers:  %.3f s (%.1f%%)\n", nScan, 100 * nScan / nShown);
    printf("everything else:                   %.1f ms\n", 1000 * (nShown - nScan));
    return 0;
}
