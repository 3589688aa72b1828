#include "mfc/ui/AfxMessageScope.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>

namespace
{
struct Pending
{
    std::vector<QPointer<QWidget>> widgets;
    std::function<void()> release;
};

// The widgets of the handlers on the stack, innermost last.
std::vector<QPointer<QWidget>>& Frames()
{
    static std::vector<QPointer<QWidget>> frames;
    return frames;
}

std::vector<Pending>& Waiting()
{
    static std::vector<Pending> waiting;
    return waiting;
}

bool g_checkQueued = false;

bool AnyBusy(const std::vector<QPointer<QWidget>>& widgets)
{
    return std::any_of(widgets.begin(), widgets.end(),
                       [](const QPointer<QWidget>& w)
                       { return w != nullptr && AfxMessageScope::IsBusy(w); });
}
} // namespace

AfxMessageScope::AfxMessageScope(QWidget* widget)
{
    Frames().emplace_back(widget);
}

AfxMessageScope::~AfxMessageScope()
{
    Frames().pop_back();
    if (!Waiting().empty())
        QueueCheck();
}

bool AfxMessageScope::IsBusy(const QWidget* widget)
{
    if (widget == nullptr)
        return false;
    for (const QPointer<QWidget>& frame : Frames())
        if (frame != nullptr && (frame == widget || widget->isAncestorOf(frame)))
            return true;
    return false;
}

void AfxMessageScope::ReleaseWhenIdle(std::vector<QPointer<QWidget>> widgets,
                                      std::function<void()> release)
{
    if (!AnyBusy(widgets))
    {
        release();
        return;
    }
    Waiting().push_back({std::move(widgets), std::move(release)});
    QueueCheck();
}

void AfxMessageScope::DeleteWidget(QWidget* widget)
{
    if (widget == nullptr)
        return;
    if (!IsBusy(widget))
    {
        delete widget;
        return;
    }
    widget->hide();
    QPointer<QWidget> guard(widget);
    ReleaseWhenIdle({guard}, [guard] { delete guard.data(); });
}

int AfxMessageScope::PendingCount()
{
    return static_cast<int>(Waiting().size());
}

void AfxMessageScope::QueueCheck()
{
    if (g_checkQueued || QCoreApplication::instance() == nullptr)
        return;
    g_checkQueued = true;
    // Queued: the check runs from the message loop, after the handler that ends now.
    QMetaObject::invokeMethod(QCoreApplication::instance(), [] { RunReady(); },
                              Qt::QueuedConnection);
}

void AfxMessageScope::RunReady()
{
    g_checkQueued = false;
    std::vector<Pending> ready;
    auto& waiting = Waiting();
    for (auto it = waiting.begin(); it != waiting.end();)
        if (!AnyBusy(it->widgets))
        {
            ready.push_back(std::move(*it));
            it = waiting.erase(it);
        }
        else
            ++it;
    for (Pending& pending : ready)
        pending.release();
}
