#pragma once
// A few threads that run the pieces of an import (parsing a piece of a file) while the
// importer's own thread joins the pieces before them into the table. Jobs run in the order
// they are handed over; each hands back a future to wait on. QZ_CAPTURE_PLAIN set (and not
// "0") in the environment makes the importers take their plain path: one thread, no pieces
// parsed ahead (the differential tests compare both paths).

#include <functional>
#include <future>
#include <memory>

class CqzCaptureWorkers
{
public:
    explicit CqzCaptureWorkers(int threads);
    // Waits for the jobs handed over and ends the threads.
    ~CqzCaptureWorkers();
    CqzCaptureWorkers(const CqzCaptureWorkers&) = delete;
    CqzCaptureWorkers& operator=(const CqzCaptureWorkers&) = delete;

    // Runs the job on one of the threads; its exception (if any) comes out of the future.
    std::future<void> Run(std::function<void()> job);
    // Waits for a job, running jobs not yet started on the calling thread meanwhile: a thread
    // that waits for one piece reads the next instead of leaving its core idle.
    void Wait(const std::future<void>& done);

    // The threads an import should use: the processor's cores, 0 with QZ_CAPTURE_PLAIN set.
    static int Count();

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
