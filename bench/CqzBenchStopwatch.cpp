#include "CqzBenchStopwatch.h"

CqzBenchStopwatch::CqzBenchStopwatch()
{
    Restart();
}

void CqzBenchStopwatch::Restart()
{
    m_wallStart = std::chrono::steady_clock::now();
    m_cpuStart = ProcessCpuNow();
}

double CqzBenchStopwatch::WallSeconds() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_wallStart).count();
}

double CqzBenchStopwatch::CpuSeconds() const
{
    return ProcessCpuNow() - m_cpuStart;
}

double CqzBenchStopwatch::ProcessCpuNow()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}
