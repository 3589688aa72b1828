#pragma once
// The host's log: entries of a type, an optional level and a text, kept in memory for the host
// and for tests; an optional sink sees each entry as it is logged.

#include "mfc/CString.h"

#include <functional>
#include <vector>

enum EqzLogMsgType
{
    eqzLogInfo = 1,
    eqzLogWarning = 2,
    eqzLogError = 3,
    eqzLogTrace = 4
};

struct SqzLogEntry
{
    int type;
    int level; // -1 when logged without a level
    CString text;
};

class CqzInfoMgr
{
public:
    static CqzInfoMgr& Instance();

    void LogMessage(const CString& text, int type);
    void LogMessage(const CString& text, int type, int level);

    const std::vector<SqzLogEntry>& GetEntries() const { return m_entries; }
    void SetSink(std::function<void(const SqzLogEntry&)> sink) { m_sink = std::move(sink); }
    void Reset();

private:
    CqzInfoMgr() = default;
    void Add(SqzLogEntry entry);

    std::vector<SqzLogEntry> m_entries;
    std::function<void(const SqzLogEntry&)> m_sink;
};
