#pragma once
// Private to the window layer (never included by code outside platform/ and its tests). The toolkit's application object of the window layer. An error thrown while an event is
// handled (a page the window draws refused by the memory limit, a file gone while reading)
// would end the program if it reached the toolkit's event loop; here it ends that one event
// instead and is said: on the standard error stream and, once the event loop is free again,
// in a message box (one at a time; errors that arrive while it is open are only written).

#include <QApplication>

class CqzGuardedApplication : public QApplication
{
public:
    CqzGuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // The errors caught so far.
    int GetCaughtCount() const { return m_caught; }

private:
    void Tell(const QString& text);

    int m_caught = 0;
    bool m_telling = false;
};
