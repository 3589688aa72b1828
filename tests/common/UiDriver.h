#pragma once
// Drives windows of the window layer as a person would: clicks and keys go to the top-level
// window at the control's position, so that hit testing, focus, popups and modality behave as
// for a person. Nested modal loops (popup menus, message boxes, dialogs) are answered by a
// short repeating timer armed before the action that opens them: it waits for the popup or
// modal window, acts on it, and records a failure and closes it when it does not come.

#include "mfc/ui/CWnd.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QDialog>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

inline void PrintTo(const CRect& r, std::ostream* out)
{
    *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
inline void PrintTo(const CSize& s, std::ostream* out)
{
    *out << s.cx << " x " << s.cy;
}

namespace ui
{
inline const void* BoundTo(const QWidget* widget)
{
    return widget->property("qzWnd").value<void*>();
}

// The window's outer widget (a scroll view also binds its inner client widget).
inline QWidget* WidgetOf(const CWnd* wnd)
{
    for (QWidget* widget : QApplication::allWidgets())
        if (BoundTo(widget) == wnd &&
            (widget->parentWidget() == nullptr || BoundTo(widget->parentWidget()) != wnd))
            return widget;
    return nullptr;
}

// Makes the window active again: after a popup closes offscreen no window is active.
inline void Activate(QWidget* widget)
{
    QWidget* top = widget->window();
    top->show();
    top->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(top));
    // The keyboard focus follows the activation a moment later.
    EXPECT_TRUE(QTest::qWaitFor([top] {
        return QApplication::focusWidget() == nullptr || QApplication::focusWidget()->window() == top;
    })) << "the focus stayed in another window";
}

inline void Click(QWidget* widget, QPoint at = QPoint(-1, -1))
{
    Activate(widget);
    QWidget* top = widget->window();
    // Check boxes and radio buttons take clicks on their box and text, at the left.
    const bool boxed = qobject_cast<QCheckBox*>(widget) != nullptr ||
                       qobject_cast<QRadioButton*>(widget) != nullptr;
    const QPoint local = at.x() >= 0 ? at
                         : boxed     ? QPoint(6, widget->height() / 2)
                                     : widget->rect().center();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      widget->mapTo(top, local));
}

inline void Click(const CWnd* wnd, QPoint at = QPoint(-1, -1))
{
    QWidget* widget = WidgetOf(wnd);
    ASSERT_NE(widget, nullptr);
    Click(widget, at);
}

inline void Key(QWidget* anyInWindow, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    Activate(anyInWindow);
    QTest::keyClick(anyInWindow->window()->windowHandle(), key, modifiers);
}

inline void Type(QWidget* anyInWindow, const QString& text)
{
    Activate(anyInWindow);
    for (QChar ch : text)
        QTest::keyClick(anyInWindow->window()->windowHandle(), ch.toLatin1());
}

// Runs `act` on what `find` finds once it appears, polling every few milliseconds.
class Answer
{
public:
    Answer(std::function<QWidget*()> find, std::function<void(QWidget*)> act, const char* what)
    {
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this, find, act, what]
                         {
                             if (QWidget* target = find())
                             {
                                 m_timer.stop();
                                 m_done = true;
                                 act(target);
                             }
                             else if (++m_ticks > 500)
                             {
                                 m_timer.stop();
                                 ADD_FAILURE() << "nothing to answer: " << what;
                                 if (QWidget* popup = QApplication::activePopupWidget())
                                     popup->close();
                                 if (auto* modal =
                                         qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                                     modal->reject();
                             }
                         });
        m_timer.start(10);
    }
    ~Answer() { m_timer.stop(); }
    bool Done() const { return m_done; }
    // For popups that open without a modal loop of their own (drop-down lists): lets the
    // events run until the answer has been given.
    bool Wait()
    {
        return QTest::qWaitFor([this] { return m_done; }, 5000);
    }

private:
    QTimer m_timer;
    int m_ticks = 0;
    bool m_done = false;
};

inline QString Plain(QString text)
{
    return text.remove(QLatin1Char('&'));
}

// Chooses the item with that text (mnemonic marks ignored) in the popup menu about to open.
inline std::unique_ptr<Answer> ChooseInPopup(const QString& item)
{
    return std::make_unique<Answer>(
        [] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); },
        [item](QWidget* widget)
        {
            auto* menu = static_cast<QMenu*>(widget);
            for (QAction* action : menu->actions())
                if (Plain(action->text()) == Plain(item))
                {
                    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                                      menu->actionGeometry(action).center());
                    return;
                }
            ADD_FAILURE() << "no item " << item.toStdString();
            menu->close();
        },
        "popup menu");
}

// Acts on the modal window about to open (one that is not `current`).
inline std::unique_ptr<Answer> AnswerModal(std::function<void(QWidget*)> act,
                                           QWidget* current = nullptr)
{
    return std::make_unique<Answer>(
        [current]
        {
            QWidget* modal = QApplication::activeModalWidget();
            return modal != current ? modal : nullptr;
        },
        std::move(act), "modal window");
}

// The texts of the popup menu about to open, read when it opens; the menu is then closed.
inline std::unique_ptr<Answer> ReadPopup(QStringList& texts)
{
    return std::make_unique<Answer>(
        [] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); },
        [&texts](QWidget* widget)
        {
            for (QAction* action : static_cast<QMenu*>(widget)->actions())
                texts << (action->isSeparator()
                              ? QStringLiteral("-")
                              : Plain(action->text()) + (action->isEnabled() ? "" : " (grey)"));
            widget->close();
        },
        "popup menu");
}

// Chooses the entry with that text in the drop-down list about to open.
inline std::unique_ptr<Answer> ChooseInList(const QString& entry)
{
    return std::make_unique<Answer>(
        []
        {
            QWidget* popup = QApplication::activePopupWidget();
            return popup != nullptr && popup->findChild<QAbstractItemView*>() != nullptr ? popup
                                                                                         : nullptr;
        },
        [entry](QWidget* popup)
        {
            auto* view = popup->findChild<QAbstractItemView*>();
            const QModelIndexList found = view->model()->match(
                view->model()->index(0, 0), Qt::DisplayRole, entry, 1, Qt::MatchExactly);
            if (found.isEmpty())
            {
                ADD_FAILURE() << "no entry " << entry.toStdString();
                popup->close();
                return;
            }
            // The list ignores a click that comes right after it opened; a person then picks
            // the entry with the keys.
            view->setCurrentIndex(found.front());
            QTest::keyClick(view, Qt::Key_Return);
        },
        "drop-down list");
}

// Replaces the text of a text field as a person does: select all, type.
inline void TypeInto(const CWnd* field, const QString& text)
{
    QWidget* widget = WidgetOf(field);
    Activate(widget);
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(widget, text);
}

inline QString Text(const CWnd* wnd)
{
    return QString::fromStdWString(wnd->GetWindowText().Str());
}
// The control the focus is on in its window, whether or not the window system has activated
// that window yet (activation comes later on a loaded machine).
inline bool HasFocus(const CWnd* wnd)
{
    QWidget* widget = WidgetOf(wnd);
    return widget != nullptr && widget->window()->focusWidget() == widget;
}
inline QRect Rect(const CWnd* wnd)
{
    QWidget* widget = WidgetOf(wnd);
    return widget == nullptr ? QRect() : widget->geometry();
}
} // namespace ui
