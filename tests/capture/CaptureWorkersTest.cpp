// The import's worker threads: a thread that waits for a job runs the jobs not yet started.

#include "capture/CqzCaptureWorkers.h"

#include <gtest/gtest.h>

#include <thread>

// The only worker is held by the first job until the second runs: waiting for the first
// must run the second on the waiting thread (a plain wait would never end).
TEST(CaptureWorkersTest, AWaitingThreadRunsTheJobsNotYetStarted)
{
    CqzCaptureWorkers workers(1);
    std::promise<void> started;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    const std::future<void> first = workers.Run(
        [&started, released]
        {
            started.set_value();
            released.wait();
        });
    std::thread::id ranOn;
    std::future<void> second = workers.Run(
        [&release, &ranOn]
        {
            ranOn = std::this_thread::get_id();
            release.set_value();
        });
    started.get_future().wait();
    workers.Wait(first);
    second.get();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}
