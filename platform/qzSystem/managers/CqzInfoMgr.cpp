#include "qzSystem/managers/CqzInfoMgr.h"

namespace
{
// Keeps the in-memory log bounded for long sessions; the oldest half goes first.
constexpr std::size_t MaxEntries = 100000;
} // namespace

CqzInfoMgr& CqzInfoMgr::Instance()
{
    static CqzInfoMgr instance;
    return instance;
}

void CqzInfoMgr::LogMessage(const CString& text, int type) { Add({type, -1, text}); }

void CqzInfoMgr::LogMessage(const CString& text, int type, int level) { Add({type, level, text}); }

void CqzInfoMgr::Add(SqzLogEntry entry)
{
    if (m_entries.size() >= MaxEntries)
        m_entries.erase(m_entries.begin(), m_entries.begin() + MaxEntries / 2);
    m_entries.push_back(std::move(entry));
    if (m_sink)
        m_sink(m_entries.back());
}

void CqzInfoMgr::Reset()
{
    m_entries.clear();
    m_sink = nullptr;
}
