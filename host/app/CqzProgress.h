#pragma once
// A progress bar on standard error for long whole-capture work (summary, exports). It draws
// only when standard error is a terminal and the work is large enough to be worth it, redraws
// at most once per percent, and wipes its line when done or destroyed.

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
    void Finish();

    // Work below this many steps shows no bar.
    static constexpr std::int64_t MinimumTotal = 20000;

private:
    void Draw(int percent);

    std::string m_title;
    std::int64_t m_total;
    bool m_active;
    int m_percent = -1;
};
