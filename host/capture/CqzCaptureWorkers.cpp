#include "capture/CqzCaptureWorkers.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

struct CqzCaptureWorkers::SqzImp
{
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::packaged_task<void()>> jobs;
    bool ending = false;
    std::vector<std::thread> threads;

    // A job not yet started, taken off the queue (an empty task when there is none).
    std::packaged_task<void()> Take()
    {
        std::lock_guard lock(mutex);
        if (jobs.empty())
            return {};
        std::packaged_task<void()> job = std::move(jobs.front());
        jobs.pop_front();
        return job;
    }

    void Work()
    {
        while (true)
        {
            std::packaged_task<void()> job;
            {
                std::unique_lock lock(mutex);
                wake.wait(lock, [this] { return ending || !jobs.empty(); });
                if (jobs.empty())
                    return;
                job = std::move(jobs.front());
                jobs.pop_front();
            }
            job();
        }
    }
};

CqzCaptureWorkers::CqzCaptureWorkers(int threads) : m_imp(std::make_unique<SqzImp>())
{
    for (int i = 0; i < threads; ++i)
        m_imp->threads.emplace_back([this] { m_imp->Work(); });
}

CqzCaptureWorkers::~CqzCaptureWorkers()
{
    {
        std::lock_guard lock(m_imp->mutex);
        m_imp->ending = true;
    }
    m_imp->wake.notify_all();
    for (std::thread& thread : m_imp->threads)
        thread.join();
}

std::future<void> CqzCaptureWorkers::Run(std::function<void()> job)
{
    std::packaged_task<void()> task(std::move(job));
    std::future<void> done = task.get_future();
    if (m_imp->threads.empty())
    {
        task();
        return done;
    }
    {
        std::lock_guard lock(m_imp->mutex);
        m_imp->jobs.push_back(std::move(task));
    }
    m_imp->wake.notify_one();
    return done;
}

void CqzCaptureWorkers::Wait(const std::future<void>& done)
{
    while (done.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
    {
        std::packaged_task<void()> job = m_imp->Take();
        if (!job.valid())
            return done.wait();
        job();
    }
}

int CqzCaptureWorkers::Count()
{
    const char* plain = std::getenv("QZ_CAPTURE_PLAIN");
    if (plain != nullptr && *plain != '\0' && std::strcmp(plain, "0") != 0)
        return 0;
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}
