#pragma once
// Lets readers at a capture while it is imported on a worker thread. The worker holds the gate
// for the whole import and opens it only where every row in the table is final (the table's
// growth hook, before rows are appended): there it publishes the row count and, when a reader
// waits, lets the reader in and waits until the reader is done. So a reader that holds the gate
// sees a table of exactly the published rows, all of them final, and nothing moves under it
// (column stores grow only while the worker holds the gate). Readers must not keep pointers
// into the table's stores from one hold to the next.
//
// The gate owns the data set the import fills (CqzCaptureTable hands it over) and, when the
// import fails, what undoes it (the labels it registered), both kept until the gate goes, after
// the readers (the filter tool) are gone.

#include "qzSystem/data/CqzData.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

class CqzCaptureGate
{
public:
    // `file` names the capture in the error of a cancelled import; the worker opens the gate
    // about every publishEvery rows.
    explicit CqzCaptureGate(const std::string& file, std::int64_t publishEvery = 4096);
    ~CqzCaptureGate();
    CqzCaptureGate(const CqzCaptureGate&) = delete;
    CqzCaptureGate& operator=(const CqzCaptureGate&) = delete;

    // The worker's side -----------------------------------------------------------------
    // Takes the data set of the import and hooks its first table.
    void Adopt(std::unique_ptr<CqzData> data);
    // What undoes a failed import, run when the gate goes, after the data set.
    void SetCleanup(std::function<void()> cleanup);
    void BeginWriting();
    // The import ended (or failed): every row is published and readers no longer wait.
    void EndWriting();

    // The readers' side (one reading thread) ----------------------------------------------
    // Holds the gate; nested holds of the reading thread are counted.
    void Lock();
    void Unlock();
    class Hold
    {
    public:
        explicit Hold(CqzCaptureGate& gate) : m_gate(gate) { m_gate.Lock(); }
        ~Hold() { m_gate.Unlock(); }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        CqzCaptureGate& m_gate;
    };
    // Rows published so far; any thread.
    std::int64_t GetPublishedRows() const;
    bool IsDone() const;
    // The worker stops at its first opening with `rows` rows until the reader took the gate
    // (Lock): the reader must take it next, unless the import ended. Set it before letting go
    // of the gate, so the worker cannot pass the rows first.
    void StopAt(std::int64_t rows);
    // Waits, without holding the gate, until `rows` rows are published or the import ended.
    void WaitFor(std::int64_t rows);
    // The worker stops at its next opening with CqzCaptureError "the import was cancelled".
    void Cancel();
    bool IsCancelled() const;
    // The data set; null before the import made it.
    CqzData* GetData() const;

private:
    void Open();
    void Publish(std::int64_t rows);

    std::string m_file;
    std::int64_t m_publishEvery;
    std::recursive_mutex m_gate;
    static constexpr std::int64_t kNoRows = INT64_MAX;
    std::atomic<bool> m_readerWaits{false};
    // Where the worker stops for a reader that waits for rows; how often a reader took the gate.
    // The worker first stops at its first rows, until a reader took the gate.
    std::atomic<std::int64_t> m_stopAt{1};
    std::atomic<std::uint64_t> m_entries{0};
    std::atomic<bool> m_cancelled{false};
    std::atomic<std::int64_t> m_published{0};
    std::atomic<bool> m_done{false};
    std::mutex m_signal;
    std::condition_variable m_publishedSignal;
    std::atomic<CqzData*> m_data{nullptr};
    std::unique_ptr<CqzData> m_owned;
    std::function<void()> m_cleanup;
};
