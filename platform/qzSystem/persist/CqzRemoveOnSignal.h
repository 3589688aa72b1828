#pragma once
// A file name removed if the process is ended by SIGINT, SIGTERM or SIGHUP while the name is
// claimed (the signal then takes its default course). Handlers are installed on the first
// claim, only where a signal still has its default action. For temporary files that must not
// outlive the process; at most 16 names are claimed at once (later claims are not covered).
// Owned by whoever made the file.

#include <string>

class CqzRemoveOnSignal
{
public:
    CqzRemoveOnSignal() = default;
    CqzRemoveOnSignal(const CqzRemoveOnSignal&) = delete;
    CqzRemoveOnSignal& operator=(const CqzRemoveOnSignal&) = delete;
    // Releases the name; removing the file is the owner's business.
    ~CqzRemoveOnSignal();

    // Registers `name` (one name at a time: claim again only after Release).
    void Claim(const std::string& name);
    void Release();

    // A test hook: when the environment variable QZFILTER_PAUSE_AT names `point`, writes
    // "qzfilter: paused at POINT" to standard error and waits for a signal to end the process.
    static void PauseAt(const char* point);

private:
    int m_slot = -1;
};
