#include "capture/CqzCaptureGate.h"

#include "capture/CqzCaptureError.h"
#include "qzSystem/data/CqzDataTable.h"

#include <thread>

CqzCaptureGate::CqzCaptureGate(const std::string& file, std::int64_t publishEvery)
    : m_file(file), m_publishEvery(publishEvery < 1 ? 1 : publishEvery)
{
}

CqzCaptureGate::~CqzCaptureGate()
{
    m_owned.reset();
    if (m_cleanup)
        m_cleanup();
}

void CqzCaptureGate::Adopt(std::unique_ptr<CqzData> data)
{
    m_owned = std::move(data);
    m_owned->GetTable(0)->SetGrowthHook([this] { Open(); }, m_publishEvery);
    m_data.store(m_owned.get(), std::memory_order_release);
}

void CqzCaptureGate::SetCleanup(std::function<void()> cleanup)
{
    m_cleanup = std::move(cleanup);
}

void CqzCaptureGate::BeginWriting()
{
    m_gate.lock();
}

void CqzCaptureGate::EndWriting()
{
    if (CqzData* data = GetData())
    {
        data->GetTable(0)->SetGrowthHook({}, 0);
        Publish(data->GetTable(0)->GetRowCount());
    }
    {
        const std::lock_guard<std::mutex> lock(m_signal);
        m_done.store(true, std::memory_order_release);
    }
    m_publishedSignal.notify_all();
    m_gate.unlock();
}

// The worker, holding the gate, where every row is final: a reader that waits for the gate,
// or for the rows published now, goes first.
void CqzCaptureGate::Open()
{
    if (m_cancelled.load(std::memory_order_relaxed))
        throw CqzCaptureError(m_file, 0, "the import was cancelled");
    const std::int64_t rows = GetData()->GetTable(0)->GetRowCount();
    Publish(rows);
    if (!m_readerWaits.load(std::memory_order_acquire) &&
        rows < m_stopAt.load(std::memory_order_acquire))
        return;
    m_stopAt.store(kNoRows, std::memory_order_release);
    const std::uint64_t entries = m_entries.load(std::memory_order_acquire);
    m_gate.unlock();
    // The reader counts its entry once it holds the gate; lock then waits for its release.
    while (m_entries.load(std::memory_order_acquire) == entries && !IsCancelled())
        std::this_thread::yield();
    m_gate.lock();
}

void CqzCaptureGate::Publish(std::int64_t rows)
{
    if (rows == m_published.load(std::memory_order_relaxed))
        return;
    {
        const std::lock_guard<std::mutex> lock(m_signal);
        m_published.store(rows, std::memory_order_release);
    }
    m_publishedSignal.notify_all();
}

void CqzCaptureGate::Lock()
{
    m_readerWaits.store(true, std::memory_order_release);
    m_gate.lock();
    m_readerWaits.store(false, std::memory_order_release);
    // A stop is kept until the reader takes the gate, however it got in: a stop left standing
    // would make the worker wait at its rows for a reader that is no longer coming.
    m_stopAt.store(kNoRows, std::memory_order_release);
    m_entries.fetch_add(1, std::memory_order_acq_rel);
}

void CqzCaptureGate::Unlock()
{
    m_gate.unlock();
}

std::int64_t CqzCaptureGate::GetPublishedRows() const
{
    return m_published.load(std::memory_order_acquire);
}

bool CqzCaptureGate::IsDone() const
{
    return m_done.load(std::memory_order_acquire);
}

void CqzCaptureGate::StopAt(std::int64_t rows)
{
    m_stopAt.store(rows, std::memory_order_release);
}

void CqzCaptureGate::WaitFor(std::int64_t rows)
{
    std::unique_lock<std::mutex> lock(m_signal);
    m_publishedSignal.wait(lock, [&] { return IsDone() || GetPublishedRows() >= rows; });
}

void CqzCaptureGate::Cancel()
{
    m_cancelled.store(true, std::memory_order_relaxed);
}

bool CqzCaptureGate::IsCancelled() const
{
    return m_cancelled.load(std::memory_order_relaxed);
}

CqzData* CqzCaptureGate::GetData() const
{
    return m_data.load(std::memory_order_acquire);
}
