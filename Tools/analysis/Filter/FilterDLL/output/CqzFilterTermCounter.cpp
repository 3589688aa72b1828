#include "output/CqzFilterTermCounter.h"

#include "model/CqzFilterAction.h"

void CqzFilterTermCounter::Reset(std::vector<SqzTermCount> terms, std::int64_t rows)
{
    m_counts = SqzTermCounts{};
    m_counts.terms = std::move(terms);
    m_counts.rows = rows;
    m_counted.clear();
}

bool CqzFilterTermCounter::StartPage(int output, std::int64_t page)
{
    if (output < 0 || page < 0)
        return false;
    if (std::size_t(output) >= m_counted.size())
        m_counted.resize(std::size_t(output) + 1);
    std::vector<bool>& pages = m_counted[std::size_t(output)];
    if (std::size_t(page) >= pages.size())
        pages.resize(std::size_t(page) + 1);
    if (pages[std::size_t(page)])
        return false;
    pages[std::size_t(page)] = true;
    return true;
}

void CqzFilterTermCounter::Add(int term, std::int64_t rows)
{
    m_counts.counted += rows;
    if (term < 0 || std::size_t(term) >= m_counts.terms.size())
    {
        m_counts.undecided += rows;
        return;
    }
    SqzTermCount& count = m_counts.terms[std::size_t(term)];
    (count.action == eqzFilterColor ? count.colored : count.hidden) += rows;
}
