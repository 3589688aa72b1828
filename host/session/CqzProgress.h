#pragma once
// A progress bar on standard error for long work (import, summary, exports). It draws only
// when standard error is a terminal and the work has taken longer than a second, redraws at
// most ten times a second (looking at the clock only every thousandth of the work), and wipes
// its line when done or destroyed.

#include <chrono>
#include <cstdint>
#include <string>

class CqzProgress
{
public:
    // `enabled` false never draws (--no-progress).
    CqzProgress(const std::string& title, std::int64_t total, bool enabled);
    ~CqzProgress();
    CqzProgress(const CqzProgress&) = delete;
    CqzProgress& operator=(const CqzProgress&) = delete;

    void Update(std::int64_t done);
    // A new total (work whose size becomes known on the way).
    void SetTotal(std::int64_t total);
    void Finish();

private:
    using Clock = std::chrono::steady_clock;
    void Draw(int percent);

    std::string m_title;
    std::int64_t m_total;
    bool m_active;
    bool m_drawn = false;
    std::int64_t m_nextCheck = 0;
    Clock::time_point m_start = Clock::now();
    Clock::time_point m_lastDraw;
};
