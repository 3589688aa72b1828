#include "mfc/ui/CqzGuardedApplication.h"

#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace
{
// An exit() from inside an event loop, as the toolkit calls it when the connection to the
// display breaks, would run the static destructors (the application object's among them)
// under windows, sessions and import threads that are still live on the stack, and crash.
// The process ends at once instead, with the toolkit's status for a lost display.
void EndAtOnceInsideAnEventLoop()
{
    if (QThread::currentThread()->loopLevel() == 0)
        return;
    std::fflush(stdout);
    std::_Exit(1);
}
} // namespace

CqzGuardedApplication::CqzGuardedApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    static const bool registered = std::atexit(EndAtOnceInsideAnEventLoop) == 0;
    (void)registered;
}

bool CqzGuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try
    {
        return QApplication::notify(receiver, event);
    }
    catch (const std::exception& error)
    {
        Tell(QString::fromUtf8(error.what()));
    }
    catch (...)
    {
        Tell(QStringLiteral("an unknown error"));
    }
    return false;
}

void CqzGuardedApplication::Tell(const QString& text)
{
    ++m_caught;
    std::fprintf(stderr, "qzfilter: %s\n", text.toUtf8().constData());
    if (m_telling)
        return;
    m_telling = true;
    // Not from inside the event that failed (it may be a paint): when the loop is free.
    QTimer::singleShot(0, this,
                       [this, text]
                       {
                           QMessageBox::critical(activeWindow(), QStringLiteral("qzfilter"),
                                                 text);
                           m_telling = false;
                       });
}
