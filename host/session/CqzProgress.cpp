#include "CqzProgress.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace
{
constexpr std::chrono::milliseconds kQuiet{1000}; // no bar for shorter work
constexpr std::chrono::milliseconds kRedraw{100}; // ten redraws a second at most
} // namespace

CqzProgress::CqzProgress(const std::string& title, std::int64_t total, bool enabled)
    : m_title(title), m_total(total), m_active(enabled && isatty(STDERR_FILENO) == 1)
{
}

CqzProgress::~CqzProgress()
{
    Finish();
}

void CqzProgress::SetTotal(std::int64_t total)
{
    m_total = total;
}

void CqzProgress::Update(std::int64_t done)
{
    if (!m_active || m_total <= 0 || done < m_nextCheck)
        return;
    m_nextCheck = done + std::max<std::int64_t>(1, m_total / 1000);
    const Clock::time_point now = Clock::now();
    if (now - m_start < kQuiet || (m_drawn && now - m_lastDraw < kRedraw))
        return;
    m_lastDraw = now;
    Draw(static_cast<int>(std::min<std::int64_t>(done, m_total) * 100 / m_total));
}

void CqzProgress::Draw(int percent)
{
    m_drawn = true;
    constexpr int Width = 40;
    const int filled = percent * Width / 100;
    std::fprintf(stderr, "\r%s [%s%s] %3d%%", m_title.c_str(), std::string(filled, '#').c_str(),
                 std::string(Width - filled, '.').c_str(), percent);
    std::fflush(stderr);
}

void CqzProgress::Finish()
{
    if (!m_active)
        return;
    if (m_drawn)
        std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    m_active = false;
}
