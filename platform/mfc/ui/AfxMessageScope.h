#pragma once
// Private to the window layer: which windows are handling a message right now, and the
// deletions that wait until they are done. A window is busy while one of its message
// handlers runs (WindowProc, a control's notification) or a menu it opened is open; a widget
// is busy while it or one of its descendants is. Deleting a busy widget would pull it from
// under the handler still running on the stack, so such deletions wait here and run from the
// message loop after the last of those handlers has returned.

#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

class AfxMessageScope
{
public:
    // Marks the widget busy for the lifetime of the scope.
    explicit AfxMessageScope(QWidget* widget);
    ~AfxMessageScope();
    AfxMessageScope(const AfxMessageScope&) = delete;
    AfxMessageScope& operator=(const AfxMessageScope&) = delete;

    // Whether the widget or one of its descendants is handling a message.
    static bool IsBusy(const QWidget* widget);
    // Runs `release` at once when none of `widgets` is busy, else from the message loop once
    // none is any more.
    static void ReleaseWhenIdle(std::vector<QPointer<QWidget>> widgets,
                                std::function<void()> release);
    // Deletes the widget at once, or hides it now and deletes it when it is no longer busy.
    static void DeleteWidget(QWidget* widget);
    // Deferred releases still waiting (for tests).
    static int PendingCount();

private:
    static void QueueCheck();
    static void RunReady();
};
