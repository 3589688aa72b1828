#include "mfc/ui/CqzGuardedApplication.h"

#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <exception>

CqzGuardedApplication::CqzGuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

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
