#include "CqzProgress.h"

#include <cstdio>
#include <unistd.h>

CqzProgress::CqzProgress(const std::string& title, std::int64_t total, bool enabled)
    : m_title(title), m_total(total),
      m_active(enabled && total >= MinimumTotal && isatty(STDERR_FILENO) == 1)
{
}

CqzProgress::~CqzProgress()
{
    Finish();
}

void CqzProgress::Update(std::int64_t done)
{
    if (!m_active || m_total <= 0)
        return;
    const int percent = static_cast<int>(done * 100 / m_total);
    if (percent != m_percent)
        Draw(percent);
}

void CqzProgress::Draw(int percent)
{
    m_percent = percent;
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
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    m_active = false;
}
