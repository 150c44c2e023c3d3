// host/Progress.cpp: the progress line and its layout.
#include "Progress.h"

#include "HostPlatform.h"

namespace
{

const int kMinBar = 10;
const int kMaxBar = 30;
const int64_t kWidestRate = 9999999;
const std::chrono::milliseconds kRedrawInterval(100);

// 1234567 -> "1,234,567"
std::string Grouped(int64_t n)
{
    std::string digits = std::to_string(n < 0 ? -n : n);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return n < 0 ? "-" + out : out;
}

// 75 -> "1:15", 3725 -> "1:02:05"
std::string Duration(double dSeconds)
{
    int64_t s = static_cast<int64_t>(dSeconds + 0.5);
    char text[32];
    if (s >= 3600)
        snprintf(text, sizeof(text), "%lld:%02d:%02d", static_cast<long long>(s / 3600),
                 static_cast<int>(s / 60 % 60), static_cast<int>(s % 60));
    else
        snprintf(text, sizeof(text), "%d:%02d", static_cast<int>(s / 60), static_cast<int>(s % 60));
    return text;
}

} // namespace

std::string FormatProgress(const std::string& table, int64_t nDone, int64_t nTotal, double dSeconds,
                           int nColumns)
{
    bool bDone = nDone >= nTotal;
    int nPercent = bDone || nTotal <= 0 ? 100 : static_cast<int>(nDone * 100 / nTotal);
    double dRate = dSeconds > 0 ? static_cast<double>(nDone) / dSeconds : 0;
    std::string timing;
    if (bDone)
        timing = "done in " + Duration(dSeconds);
    else if (dRate > 0)
        timing = Duration(static_cast<double>(nTotal - nDone) / dRate) + " left";
    else
        timing = "-:-- left";
    std::string figures = std::to_string(nPercent) + "%  " + Grouped(nDone) + "/" + Grouped(nTotal) +
                          " rows  " + Grouped(static_cast<int64_t>(dRate)) + "/s  " + timing;

    // The bar keeps its width for the whole table: room is left for the
    // widest figures the table can show.
    std::string widest = "100%  " + Grouped(nTotal) + "/" + Grouped(nTotal) + " rows  " +
                         Grouped(kWidestRate) + "/s  done in 9:59:59";
    int nRoom = nColumns - 1 - static_cast<int>(table.size() + 1 + widest.size());
    int nBar = nRoom - 3 > kMaxBar ? kMaxBar : nRoom - 3;
    std::string line = table + " ";
    if (nBar >= kMinBar) {
        int nFilled = nBar * nPercent / 100;
        line += "[" + std::string(static_cast<size_t>(nFilled), '#') +
                std::string(static_cast<size_t>(nBar - nFilled), '-') + "] ";
    }
    line += figures;
    if (nColumns > 1 && line.size() > static_cast<size_t>(nColumns - 1)) {
        // Cut before a whole character, never inside one.
        size_t n = static_cast<size_t>(nColumns - 1);
        while (n > 0 && (static_cast<unsigned char>(line[n]) & 0xC0) == 0x80)
            --n;
        line.resize(n);
    }
    return line;
}

Progress::Progress(FILE* stream, bool bEnabled) : m_stream(stream), m_bEnabled(bEnabled) {}

void Progress::BeginTable(const std::string& table, int64_t nTotal)
{
    m_table = table;
    m_nTotal = nTotal;
    m_start = Clock::now();
    Redraw(0, true);
}

void Progress::EndTable(int64_t nDone)
{
    if (!m_bEnabled)
        return;
    Redraw(nDone, true);
    fputc('\n', m_stream);
    m_bDrawn = false;
    m_nLastWidth = 0;
}

void Progress::Interrupt()
{
    if (!m_bDrawn)
        return;
    fprintf(m_stream, "\r%*s\r", static_cast<int>(m_nLastWidth), "");
    m_bDrawn = false;
    m_nLastWidth = 0;
}

void Progress::Redraw(int64_t nDone, bool bForce)
{
    if (!m_bEnabled)
        return;
    Clock::time_point now = Clock::now();
    if (!bForce && now - m_lastDraw < kRedrawInterval)
        return;
    m_lastDraw = now;
    std::string line = FormatProgress(m_table, nDone, m_nTotal, Seconds(), host::TerminalColumns(m_stream));
    // Blanks cover what a longer earlier line left behind.
    size_t nPad = m_nLastWidth > line.size() ? m_nLastWidth - line.size() : 0;
    fprintf(m_stream, "\r%s%*s", line.c_str(), static_cast<int>(nPad), "");
    fflush(m_stream);
    m_nLastWidth = line.size();
    m_bDrawn = true;
}

double Progress::Seconds() const
{
    return std::chrono::duration<double>(Clock::now() - m_start).count();
}
