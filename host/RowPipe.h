// host/RowPipe.h: the rows of a table, read from the database on a thread of
// their own, a batch at a time, while the export hands the rows read before
// to the plug-in. Reading a row (SQLite's work and the conversion of its
// values to UTF-16) and writing it (the plug-in's work) then run side by
// side instead of one after the other. Each value is read straight into the
// string block the plug-in is handed; the plug-in is still called on the
// export's thread alone.
#pragma once

#include "Database.h"
#include "HostFields.h"

#include <stdint.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The values of up to a number of rows, each in a string block of its own
// that the next batch read into it fills again.
class RowBatch
{
public:
    RowBatch(int nFields, int nCapacity);

    int Rows() const { return m_nRows; }
    const FieldText& Value(int nRow, int nField) const { return m_values[Index(nRow, nField)]; }

private:
    friend class RowPipe;

    size_t Index(int nRow, int nField) const { return static_cast<size_t>(nRow) * m_nFields + nField; }

    size_t m_nFields;
    int m_nCapacity;
    int m_nRows = 0;
    std::unique_ptr<FieldText[]> m_values;
};

class RowPipe
{
public:
    enum End { kTableEnd, kNoMemory, kReadError };

    // Starts reading. Where no thread can be started, each batch is read
    // when it is asked for.
    explicit RowPipe(TableReader& reader);
    // Stops the reading, at the latest after the batch being read.
    ~RowPipe();
    RowPipe(const RowPipe&) = delete;
    RowPipe& operator=(const RowPipe&) = delete;

    // The next batch, valid until the next call; null after the last one.
    // The batch given before goes back to be read into again.
    const RowBatch* Next();

    // After Next gave null: why the rows ended, and for a failure the
    // number of the record that could not be read and the database's words.
    End Ending() const { return m_end; }
    int64_t FailedRecord() const { return m_nFailedRecord; }
    const std::string& Error() const { return m_error; }

private:
    static constexpr int kBatches = 3;

    void Read();
    bool Fill(RowBatch& batch);

    TableReader& m_reader;
    std::vector<std::unique_ptr<RowBatch>> m_batches;
    int64_t m_nRowsRead = 0;
    End m_end = kTableEnd;
    int64_t m_nFailedRecord = 0;
    std::string m_error;

    // Shared with the reading thread, under m_mutex: the batches to read
    // into, those read, whether reading has ended, and whether it is to stop.
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<RowBatch*> m_empty;
    std::deque<RowBatch*> m_full;
    bool m_bEnded = false;
    bool m_bStop = false;

    RowBatch* m_pGiven = nullptr;
    std::thread m_thread;
};
