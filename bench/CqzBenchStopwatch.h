#pragma once
// Wall-clock and process CPU time since the stopwatch was made (or restarted). The CPU time
// hardly changes when other work shares the machine, so the benchmark reports it beside the
// wall-clock figures that its targets are judged on.

#include <chrono>
#include <ctime>

class CqzBenchStopwatch
{
public:
    CqzBenchStopwatch();
    void Restart();
    double WallSeconds() const;
    double CpuSeconds() const;

private:
    static double ProcessCpuNow();

    std::chrono::steady_clock::time_point m_wallStart;
    double m_cpuStart = 0;
};
