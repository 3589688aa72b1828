#pragma once
// Imports a capture file on a thread of its own, through a CqzCaptureGate, so that the host
// can show the rows that have arrived while the rest is read. The notes and progress of the
// import are kept and told to the options' callbacks on the reading thread (Deliver); the
// samplerate callback is not used. Destroying the worker cancels the import and waits for
// the thread; the gate (with the data set) goes with the worker.

#include "capture/CqzCaptureGate.h"
#include "capture/SqzCaptureOptions.h"

#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CqzCaptureWorker
{
public:
    CqzCaptureWorker(const std::string& path, const SqzCaptureOptions& options,
                     std::int64_t publishEvery = 4096);
    ~CqzCaptureWorker();
    CqzCaptureWorker(const CqzCaptureWorker&) = delete;
    CqzCaptureWorker& operator=(const CqzCaptureWorker&) = delete;

    CqzCaptureGate& GetGate();
    // Tells the notes and progress that came since the last call, on the calling thread.
    void Deliver();
    // Waits, without holding the gate, for the end of the import; rethrows its error
    // (CqzCaptureError, or std::bad_alloc).
    void Finish();
    // Cancels the import and waits for the thread (the reading thread must not hold the
    // gate); the gate and its data set stay.
    void Stop();
    // After the end: whether the import failed.
    bool Failed() const;

private:
    void Import(const std::string& path, SqzCaptureOptions options);

    SqzCaptureOptions m_told;
    CqzCaptureGate m_gate;
    std::mutex m_mutex;
    std::vector<std::string> m_notes;
    std::uint64_t m_done = 0;
    std::uint64_t m_total = 0;
    bool m_progressed = false;
    std::exception_ptr m_error;
    std::thread m_thread;
};
