// host/RowPipe.cpp: reading a table's rows ahead on a thread of their own.
#include "RowPipe.h"

#include <system_error>

namespace
{

// About this many values a batch: enough that handing a batch over (which
// may wake the other thread) costs little beside its rows. A batch also
// ends once its values hold this many units, so that a table of long texts
// keeps the memory of three batches small.
const int kValuesPerBatch = 1024;
const size_t kUnitsPerBatch = 64 * 1024;

int RowsPerBatch(int nFields)
{
    return nFields > 0 && nFields < kValuesPerBatch ? kValuesPerBatch / nFields : 1;
}

} // namespace

RowBatch::RowBatch(int nFields, int nCapacity)
    : m_nFields(nFields > 0 ? static_cast<size_t>(nFields) : 0), m_nCapacity(nCapacity),
      m_values(new FieldText[m_nFields * static_cast<size_t>(nCapacity)])
{
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
    batch.m_nRows = 0;
    size_t nUnits = 0;
    while (batch.m_nRows < batch.m_nCapacity && nUnits < kUnitsPerBatch) {
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
            FieldText& value = batch.m_values[batch.Index(batch.m_nRows, static_cast<int>(i))];
            if (!m_reader.Load(static_cast<int>(i), value)) {
                m_end = kNoMemory;
                m_nFailedRecord = m_nRowsRead;
                return false;
            }
            nUnits += value.Length();
        }
        ++batch.m_nRows;
    }
    return true;
}
