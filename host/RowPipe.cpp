// host/RowPipe.cpp: reading a table's rows ahead on a thread of their own.
#include "RowPipe.h"

#include <string.h>

#include <new>
#include <system_error>

namespace
{

// About this many values a batch: enough that handing a batch over (which
// may wake the other thread) costs little beside its rows. A batch also
// ends once its values fill this many units, so that a table of long texts
// keeps the memory of three batches small.
const int kValuesPerBatch = 8192;
const size_t kUnitsPerBatch = 256 * 1024;

int RowsPerBatch(int nFields)
{
    return nFields > 0 && nFields < kValuesPerBatch ? kValuesPerBatch / nFields : 1;
}

} // namespace

RowBatch::RowBatch(int nFields, int nCapacity)
    : m_nFields(nFields > 0 ? static_cast<size_t>(nFields) : 0), m_nCapacity(nCapacity),
      m_units(1024), m_starts(m_nFields * static_cast<size_t>(nCapacity) + 1, 0)
{
}

void RowBatch::Clear()
{
    m_nRows = 0;
    m_nValues = 0;
}

// Room for a value of up to nUnits units after those appended. The buffer
// keeps its size from batch to batch, so it grows only for longer values.
WCHAR* RowBatch::Room(size_t nUnits)
{
    size_t nEnd = m_starts[m_nValues] + nUnits;
    if (nEnd > m_units.size()) {
        try {
            m_units.resize(nEnd > 2 * m_units.size() ? nEnd : 2 * m_units.size());
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }
    return m_units.data() + m_starts[m_nValues];
}

// The value just written at Room is the row's next one.
bool RowBatch::Take(size_t nUnits)
{
    m_starts[m_nValues + 1] = m_starts[m_nValues] + nUnits;
    ++m_nValues;
    return true;
}

RowPipe::RowPipe(TableReader& reader) : m_reader(reader)
{
    int nFields = reader.ColumnCount();
    for (int i = 0; i < kBatches; ++i) {
        m_batches.push_back(std::make_unique<RowBatch>(nFields, RowsPerBatch(nFields)));
        m_empty.push_back(m_batches.back().get());
    }
    try {
        m_thread = std::thread(&RowPipe::Read, this);
    } catch (const std::system_error&) {
        // Read on the caller's thread instead, in Next.
    }
}

RowPipe::~RowPipe()
{
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

const RowBatch* RowPipe::Next()
{
    if (!m_thread.joinable()) {
        // Without a thread of its own, each batch is read here, in turn.
        if (m_bEnded)
            return nullptr;
        m_bEnded = !Fill(*m_batches[0]);
        return m_batches[0].get();
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_pGiven) {
        m_empty.push_back(m_pGiven);
        m_pGiven = nullptr;
        m_changed.notify_all();
    }
    m_changed.wait(lock, [this] { return !m_full.empty() || m_bEnded; });
    if (m_full.empty())
        return nullptr;
    m_pGiven = m_full.front();
    m_full.pop_front();
    return m_pGiven;
}

// The reading thread: fills each empty batch and hands it over, until the
// table ends, reading fails or the pipe is stopped.
void RowPipe::Read()
{
    for (;;) {
        RowBatch* pBatch = nullptr;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return !m_empty.empty() || m_bStop; });
            if (m_bStop)
                return;
            pBatch = m_empty.front();
            m_empty.pop_front();
        }
        bool bMore = Fill(*pBatch);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_full.push_back(pBatch);
            m_bEnded = !bMore;
        }
        m_changed.notify_all();
        if (!bMore)
            return;
    }
}

// Reads rows into the batch until it is full (true) or the rows end (false,
// with the reason kept). A batch holds at least one row, however long.
bool RowPipe::Fill(RowBatch& batch)
{
    batch.Clear();
    while (batch.m_nRows < batch.m_nCapacity) {
        if (m_bStop)
            return false;
        TableReader::StepResult step = m_reader.Step();
        if (step != TableReader::kRow) {
            if (step == TableReader::kError) {
                m_end = kReadError;
                m_error = m_reader.LastError();
            }
            return false;
        }
        ++m_nRowsRead;
        for (size_t i = 0; i < batch.m_nFields; ++i) {
            if (!m_reader.Load(static_cast<int>(i), batch)) {
                m_end = kNoMemory;
                m_nFailedRecord = m_nRowsRead;
                return false;
            }
        }
        ++batch.m_nRows;
        if (batch.m_starts[batch.m_nValues] >= kUnitsPerBatch)
            break;
    }
    return true;
}
