#include "capture/CqzCaptureWorker.h"

#include "capture/CqzCaptureLoader.h"

CqzCaptureWorker::CqzCaptureWorker(const std::string& path, const SqzCaptureOptions& options,
                                   std::int64_t publishEvery)
    : m_told(options), m_gate(path, publishEvery)
{
    SqzCaptureOptions own = options;
    own.gate = &m_gate;
    own.samplerate = nullptr;
    own.note = [this](const std::string& note)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_notes.push_back(note);
    };
    own.progress = [this](std::uint64_t done, std::uint64_t total)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_done = done;
        m_total = total;
        m_progressed = true;
    };
    m_thread = std::thread(&CqzCaptureWorker::Import, this, path, std::move(own));
}

CqzCaptureWorker::~CqzCaptureWorker()
{
    Stop();
}

void CqzCaptureWorker::Stop()
{
    m_gate.Cancel();
    if (m_thread.joinable())
        m_thread.join();
}

void CqzCaptureWorker::Import(const std::string& path, SqzCaptureOptions options)
{
    m_gate.BeginWriting();
    try
    {
        CqzCaptureLoader::Load(path, options);
    }
    catch (...)
    {
        m_error = std::current_exception();
    }
    m_gate.EndWriting();
}

CqzCaptureGate& CqzCaptureWorker::GetGate()
{
    return m_gate;
}

void CqzCaptureWorker::Deliver()
{
    std::vector<std::string> notes;
    std::uint64_t done = 0, total = 0;
    bool progressed = false;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        notes.swap(m_notes);
        std::swap(progressed, m_progressed);
        done = m_done;
        total = m_total;
    }
    if (m_told.note)
        for (const std::string& note : notes)
            m_told.note(note);
    if (progressed && m_told.progress)
        m_told.progress(done, total);
}

void CqzCaptureWorker::Finish()
{
    m_gate.StopAt(INT64_MAX);
    m_gate.WaitFor(INT64_MAX);
    Deliver();
    if (m_error)
        std::rethrow_exception(m_error);
}

bool CqzCaptureWorker::Failed() const
{
    return m_gate.IsDone() && m_error;
}
