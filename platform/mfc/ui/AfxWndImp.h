#pragma once
// Private to the window layer: what a CWnd keeps of its widget, and the widgets behind the
// window classes.

#include "mfc/ui/AfxQt.h"
#include "mfc/ui/CWnd.h"

#include <QDialog>
#include <QPointer>
#include <QWidget>

#include <memory>

#include "mfc/ui/CDC.h"

struct CWnd::SqzImp
{
    explicit SqzImp(CWnd* wnd) : owner(wnd) {}
    CWnd* owner;
    QPointer<QWidget> widget; // the outer widget
    QPointer<QWidget> client; // where the client area and the children are
    QMetaObject::Connection destroyed;
    UINT id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    HFONT font = nullptr;
    QPainter* painter = nullptr;
    std::vector<AFX_RECORDED_MSG>* log = nullptr;
    std::vector<std::unique_ptr<CDC>> dcs;

    // Takes the widget (and its client widget, or itself) as this window's.
    void Bind(QWidget* outer, QWidget* clientWidget);
    // Moves the client area (and the children made later) into a widget inside the outer one.
    void SetClient(QWidget* clientWidget);
    // Forgets the widget without destroying it.
    void Unbind();
    // Tells the parent about a control's notification (WM_COMMAND with the code).
    void Notify(UINT code);
};

namespace afxqt
{
// The widget of a window class, made as a child of `parent` (null: top level).
QWidget* MakeWidget(CWnd* owner, LPCTSTR className, DWORD style, QWidget* parent);
// The registered class's background colour; false for an unregistered class.
bool FindWndClass(LPCTSTR className, COLORREF* background);
// Translates a key press for the window that has it; true when a PreTranslateMessage took it.
bool PreTranslateKey(CWnd* target, int qtKey, Qt::KeyboardModifiers modifiers);
// The height a widget really takes when asked for `requested`: a drop-down list keeps the
// height of its closed field (the requested height includes the dropped list).
int WindowHeight(QWidget* widget, int requested);
// The event type that carries posted messages, and posting one to a widget.
int PostedEventType();
void PostToWidget(QWidget* widget, UINT message, WPARAM wParam, LPARAM lParam);
// The drop-down list messages (CB_...) on a combo box widget; 0 for anything else.
LRESULT ComboMessage(QWidget* widget, UINT message, WPARAM wParam, LPARAM lParam);
} // namespace afxqt

// A plain window: its client area is painted by its window's OnPaint.
class QzWindow : public QWidget
{
public:
    QzWindow(CWnd* owner, QWidget* parent) : QWidget(parent), m_owner(owner) {}

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CWnd* m_owner;
};

// A dialog whose Escape, close box and default button go through its window's commands.
class QzDialog : public QDialog
{
public:
    QzDialog(CWnd* owner, QWidget* parent) : QDialog(parent), m_owner(owner) {}
    void reject() override;

private:
    CWnd* m_owner;
};
