#include "CqzViewLoading.h"

#include "CqzHostError.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QToolButton>

namespace
{
// Inside a dialog's own event loop the window's handler that opened it is still running.
bool InMainLoop()
{
    return QThread::currentThread()->loopLevel() <= 1;
}

// Every event of the thread passes here before it is delivered: the capture is held for it.
class CqzHoldForEvents : public QObject
{
public:
    CqzHoldForEvents(CqzHostSession& session, QObject* parent) : QObject(parent), m_session(session)
    {
    }
    bool eventFilter(QObject*, QEvent*) override
    {
        m_session.HoldCapture();
        return false;
    }

private:
    CqzHostSession& m_session;
};
} // namespace

CqzViewLoading::CqzViewLoading(CqzHostSession& session, QMainWindow& window,
                               std::function<bool()> busy, std::function<void()> arrived)
    : m_session(session), m_busy(std::move(busy)), m_arrived(std::move(arrived)),
      m_done(!session.IsLoading())
{
    m_label = new QLabel(&window);
    m_bar = new QProgressBar(&window);
    m_bar->setRange(0, 0);
    m_bar->setMaximumWidth(120);
    m_cancel = new QToolButton(&window);
    m_cancel->setText(QStringLiteral("Cancel loading"));
    QObject::connect(m_cancel, &QToolButton::clicked, &window, [this] { Cancel(); });
    for (QWidget* widget : {static_cast<QWidget*>(m_label), static_cast<QWidget*>(m_bar),
                            static_cast<QWidget*>(m_cancel)})
        window.statusBar()->addPermanentWidget(widget);
    m_timer = new QTimer(&window);
    m_timer->setInterval(100);
    QObject::connect(m_timer, &QTimer::timeout, &window, [this] { Follow(); });
    if (m_done)
    {
        ShowStatus();
        return;
    }
    // Held while events are handled, let go while the main loop waits for the next.
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, m_timer,
                     [this]
                     {
                         if (InMainLoop())
                             m_session.ReleaseCapture();
                     });
    QCoreApplication::instance()->installEventFilter(new CqzHoldForEvents(session, m_timer));
    m_timer->start();
    ShowStatus();
}

void CqzViewLoading::Cancel()
{
    m_session.CancelCapture();
    m_cancel->setEnabled(false);
}

void CqzViewLoading::Follow()
{
    if (m_done || m_busy() || !InMainLoop())
        return;
    m_session.HoldCapture();
    // The import cannot end while the gate is held: what it says now holds for the rows.
    const bool loading = m_session.IsLoading();
    if (m_session.FollowCapture())
        m_arrived();
    if (!loading)
        Finish();
    ShowStatus();
}

void CqzViewLoading::Finish()
{
    m_done = true;
    m_timer->stop();
    try
    {
        m_session.FinishCapture();
    }
    catch (const CqzHostError& error)
    {
        m_stopped = error.what();
    }
    m_arrived();
}

void CqzViewLoading::ShowStatus()
{
    const std::string rows = std::to_string(m_session.GetData().GetTable(0)->GetRowCount());
    m_bar->setVisible(!m_done);
    m_cancel->setVisible(!m_done);
    m_label->setVisible(!m_done || !m_stopped.empty());
    m_label->setText(QString::fromStdString(
        !m_done ? "Loading\u2026 " + rows + " rows"
                : "Loading stopped: " + m_stopped + "; only the " + rows +
                      " rows that arrived are shown"));
}
