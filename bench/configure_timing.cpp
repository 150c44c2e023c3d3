// bench/configure_timing.cpp: how long the settings dialog takes to appear
// after Configure is called, and how much of that time is the platform
// answering about the 65,536 code page numbers. Windows builds only; run it
// beside ferlo.dll, whose resources the dialog comes from:
//
//   configure_timing [runs]
//
// Prints the median of each figure over the runs (default 3). The rest is
// a difference of two figures of some 20 s each: only a quiet machine makes
// it mean something.
#include "filter/LibraryEntry.h"
#include "settings/SettingsDialog.h"

#include <windows.h>

#include <algorithm>
#include <stdio.h>
#include <stdlib.h>
#include <vector>

namespace
{

const WCHAR kKey[] = L"Software\\Ferlo Bench\\Configure";
HHOOK g_hHook;
LARGE_INTEGER g_created, g_shown;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

// The dialog's window is the first the call creates; it counts as shown
// when the window system activates it, after its controls were filled, and
// is cancelled at once.
LRESULT CALLBACK OnWindowEvent(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_CREATEWND && g_created.QuadPart == 0)
        QueryPerformanceCounter(&g_created);
    if (nCode == HCBT_ACTIVATE && g_shown.QuadPart == 0) {
        QueryPerformanceCounter(&g_shown);
        PostMessageW(reinterpret_cast<HWND>(wParam), WM_COMMAND, IDCANCEL, 0);
    }
    return CallNextHookEx(g_hHook, nCode, wParam, lParam);
}

struct Timing {
    double nShown, nDialog; // from the call, and from the dialog's creation
};

Timing UntilShown()
{
    g_created.QuadPart = g_shown.QuadPart = 0;
    g_hHook = SetWindowsHookExW(WH_CBT, OnWindowEvent, nullptr, GetCurrentThreadId());
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    CString result;
    ConfigureSettings(kKey, L"", result);
    UnhookWindowsHookEx(g_hHook);
    if (!g_shown.QuadPart)
        return {-1, -1};
    return {Seconds(start, g_shown), Seconds(g_created, g_shown)};
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
    std::vector<double> shown, dialog, scan;
    int nInstalled = 0;
    for (int i = 0; i < nRuns; ++i) {
        Timing timing = UntilShown();
        shown.push_back(timing.nShown);
        dialog.push_back(timing.nDialog);
        scan.push_back(PlatformScan(nInstalled));
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    double nShown = Median(shown), nScan = Median(scan), nDialog = Median(dialog);
    printf("runs: %d, installed code pages: %d\n", nRuns, nInstalled);
    printf("Configure until the dialog shows:  %.3f s\n", nShown);
    printf("the platform's code page answers:  %.3f s (%.1f%%)\n", nScan, 100 * nScan / nShown);
    printf("the dialog, created until shown:   %.1f ms\n", 1000 * nDialog);
    printf("the rest (until shown - answers - dialog): %.1f ms\n", 1000 * (nShown - nScan - nDialog));
    return 0;
}
