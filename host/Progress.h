// host/Progress.h: the progress bar on stderr, one line per table: rows done
// of rows in all, rate and time left. It is drawn only on a terminal, so
// redirected output and scripts see nothing of it.
#pragma once

#include <stdint.h>
#include <stdio.h>

#include <chrono>
#include <string>

// The line for a table after nDone of nTotal rows in dSeconds, no wider than
// nColumns - 1 characters, so that a terminal never wraps it.
std::string FormatProgress(const std::string& table, int64_t nDone, int64_t nTotal, double dSeconds,
                           int nColumns);

class Progress
{
public:
    // Draws nothing unless bEnabled.
    Progress(FILE* stream, bool bEnabled);

    bool Enabled() const { return m_bEnabled; }
    void BeginTable(const std::string& table, int64_t nTotal);
    // Called for every row; looks at the clock only once in a while.
    void Advance(int64_t nDone)
    {
        if (m_bEnabled && (nDone & 1023) == 0)
            Redraw(nDone, false);
    }
    // Leaves the table's line complete.
    void EndTable(int64_t nDone);
    // Clears the line, so that a message can take its place.
    void Interrupt();

private:
    using Clock = std::chrono::steady_clock;

    void Redraw(int64_t nDone, bool bForce);
    double Seconds() const;

    FILE* m_stream;
    bool m_bEnabled;
    bool m_bDrawn = false;
    std::string m_table;
    int64_t m_nTotal = 0;
    size_t m_nLastWidth = 0;
    Clock::time_point m_start;
    Clock::time_point m_lastDraw;
};
