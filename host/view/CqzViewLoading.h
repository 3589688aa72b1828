#pragma once
// Follows a capture that is still imported while the window shows it (a session opened with
// a growing capture): the window's thread holds the capture's gate from the moment an event
// is delivered (an application event filter) until its main event loop waits again, so the
// import runs while the window is idle; every tenth of a second the rows that arrived are handed to the tool (data refresh)
// and to the window. The status bar shows "Loading… N rows" with a busy bar and a Cancel
// button, and, when the import stopped early (failed or cancelled), the importer's message
// and that only the rows that arrived are shown. Nothing follows while the window is busy
// (a find or a count stepping through rows) or a dialog's own event loop runs.

#include "CqzHostSession.h"

#include <functional>
#include <string>

class QLabel;
class QMainWindow;
class QProgressBar;
class QTimer;
class QToolButton;

class CqzViewLoading
{
public:
    // `busy` tells when the window must not be changed; `arrived` shows the rows that arrived.
    CqzViewLoading(CqzHostSession& session, QMainWindow& window, std::function<bool()> busy,
                   std::function<void()> arrived);

    bool IsLoading() const { return !m_done; }
    // The message of an import that stopped early; empty otherwise.
    const std::string& GetStopped() const { return m_stopped; }
    void Cancel();
    // One step of following (the timer's): follows the rows, and finishes at the end.
    void Follow();

private:
    void Finish();
    void ShowStatus();

    CqzHostSession& m_session;
    std::function<bool()> m_busy;
    std::function<void()> m_arrived;
    bool m_done = false;
    std::string m_stopped;
    QTimer* m_timer = nullptr;
    QLabel* m_label = nullptr;
    QProgressBar* m_bar = nullptr;
    QToolButton* m_cancel = nullptr;
};
