// The widgets behind the window classes and the bridge from their events to messages.

#include "mfc/ui/AfxMessageScope.h"
#include "mfc/ui/AfxWndImp.h"
#include "mfc/ui/CDC.h"

#include <QComboBox>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>

namespace
{
// A message posted to a window.
class PostedEvent : public QEvent
{
public:
    PostedEvent(UINT message, WPARAM wParam, LPARAM lParam)
        : QEvent(static_cast<QEvent::Type>(afxqt::PostedEventType())), message(message),
          wParam(wParam), lParam(lParam)
    {
    }
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Runs the owner's paint handler with a painter on the widget.
template <typename Paint> void PaintWith(CWnd* owner, QWidget* widget, Paint paint)
{
    QPainter painter(widget);
    owner->GetImp()->painter = &painter;
    paint();
    owner->GetImp()->painter = nullptr;
}

// The window bound to exactly this widget (a control can change hands: SubclassDlgItem).
CWnd* BoundWnd(const QWidget* widget)
{
    const QVariant value = widget->property("qzWnd");
    return value.isValid() ? static_cast<CWnd*>(value.value<void*>()) : nullptr;
}

void NotifyFrom(const QWidget* widget, UINT code)
{
    if (CWnd* wnd = BoundWnd(widget))
        wnd->GetImp()->Notify(code);
}

// Push buttons; owner-drawn ones are drawn by their window. A button the keyboard has put the
// focus on has a dotted frame inside its edge, the same on every button: the style's own mark
// is hard to see on a small or coloured button and looks like the default button's outline.
class QzButton : public QPushButton
{
public:
    explicit QzButton(QWidget* parent) : QPushButton(parent) {}

protected:
    void paintEvent(QPaintEvent* event) override
    {
        CWnd* owner = BoundWnd(this);
        if (owner == nullptr || (owner->GetStyle() & BS_TYPEMASK) != BS_OWNERDRAW)
            QPushButton::paintEvent(event);
        else
            PaintWith(owner, this, [owner] { owner->SendMessage(WM_DRAWITEM); });
        if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange))
        {
            QPainter painter(this);
            painter.setPen(QPen(palette().color(QPalette::WindowText), 0, Qt::DotLine));
            painter.drawRect(rect().adjusted(3, 3, -4, -4));
        }
    }
};

// Radio buttons; those that are not automatic do not change their check when clicked.
class QzRadio : public QRadioButton
{
public:
    QzRadio(bool automatic, QWidget* parent) : QRadioButton(parent), m_automatic(automatic)
    {
        setAutoExclusive(automatic);
    }

protected:
    void nextCheckState() override
    {
        if (m_automatic)
            QRadioButton::nextCheckState();
    }

private:
    bool m_automatic;
};

// Maps the toolkit's events on a window's widgets to the window's messages.
class EventHook : public QObject
{
public:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(object);
        CWnd* wnd = afxqt::WndFromWidget(widget);
        if (wnd == nullptr || afxqt::Client(wnd) != widget)
            return false;
        if (event->type() == afxqt::PostedEventType())
        {
            auto* posted = static_cast<PostedEvent*>(event);
            wnd->WindowProc(posted->message, posted->wParam, posted->lParam);
            return true;
        }
        if (event->type() == QEvent::Resize)
        {
            const QSize size = static_cast<QResizeEvent*>(event)->size();
            wnd->SendMessage(WM_SIZE, 0, MAKELPARAM(size.width(), size.height()));
            return false;
        }
        if (event->type() == QEvent::MouseButtonPress)
            return MousePress(wnd, static_cast<QMouseEvent*>(event));
        return false;
    }

private:
    static bool MousePress(CWnd* wnd, QMouseEvent* mouse)
    {
        if (mouse->button() != Qt::LeftButton)
            return false;
        CWnd* top = afxqt::WndFromWidget(afxqt::Client(wnd)->window());
        wnd->SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top ? top->m_hWnd : nullptr),
                         MAKELPARAM(1, WM_LBUTTONDOWN));
        const bool plain = IsPlain(wnd);
        const QPoint p = mouse->position().toPoint();
        wnd->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON,
                         MAKELPARAM(static_cast<WORD>(p.x()), static_cast<WORD>(p.y())));
        return plain;
    }
    // Plain windows take their clicks themselves; controls keep the toolkit's behaviour.
    static bool IsPlain(CWnd* wnd)
    {
        return dynamic_cast<QzWindow*>(afxqt::Client(wnd)) != nullptr;
    }
};

EventHook* Hook()
{
    static EventHook* hook = new EventHook; // lives as long as the process
    return hook;
}

QWidget* MakeButton(DWORD style, QWidget* parent)
{
    switch (style & BS_TYPEMASK)
    {
    case BS_GROUPBOX:
        return new QGroupBox(parent);
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    {
        auto* radio = new QzRadio((style & BS_TYPEMASK) == BS_AUTORADIOBUTTON, parent);
        QObject::connect(radio, &QAbstractButton::clicked,
                         [radio] { NotifyFrom(radio, BN_CLICKED); });
        return radio;
    }
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    {
        auto* check = new QCheckBox(parent);
        QObject::connect(check, &QAbstractButton::clicked,
                         [check] { NotifyFrom(check, BN_CLICKED); });
        return check;
    }
    default:
    {
        auto* button = new QzButton(parent);
        button->setAutoDefault(false);
        button->setDefault((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
        QObject::connect(button, &QAbstractButton::clicked,
                         [button] { NotifyFrom(button, BN_CLICKED); });
        return button;
    }
    }
}

bool Is(LPCTSTR className, const wchar_t* name)
{
    return className != nullptr && CString(className).CompareNoCase(name) == 0;
}
} // namespace

void QzWindow::paintEvent(QPaintEvent*)
{
    PaintWith(m_owner, this,
              [this]
              {
                  if (afxqt::Client(m_owner) == this)
                      m_owner->SendMessage(WM_PAINT);
                  if (afxqt::Outer(m_owner) == this && (m_owner->GetStyle() & WS_BORDER))
                  {
                      QPainter* painter = m_owner->GetImp()->painter;
                      painter->setPen(QPen(Qt::black, 0));
                      painter->setBrush(Qt::NoBrush);
                      painter->drawRect(rect().adjusted(0, 0, -1, -1));
                  }
              });
}

void QzDialog::reject()
{
    m_owner->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

void CWnd::SqzImp::Bind(QWidget* outer, QWidget* clientWidget)
{
    widget = outer;
    client = clientWidget != nullptr ? clientWidget : outer;
    owner->m_hWnd = reinterpret_cast<HWND>(owner);
    for (QWidget* w : {widget.data(), client.data()})
    {
        w->setProperty("qzWnd", QVariant::fromValue(static_cast<void*>(owner)));
        w->installEventFilter(Hook());
    }
    CWnd* self = owner;
    destroyed = QObject::connect(outer, &QObject::destroyed,
                                 [self]
                                 {
                                     self->m_imp->Unbind();
                                     self->PostNcDestroy();
                                 });
}

void CWnd::SqzImp::SetClient(QWidget* clientWidget)
{
    client = clientWidget;
    client->setProperty("qzWnd", QVariant::fromValue(static_cast<void*>(owner)));
    client->installEventFilter(Hook());
}

void CWnd::SqzImp::Unbind()
{
    QObject::disconnect(destroyed);
    for (QWidget* w : {widget.data(), client.data()})
        if (w != nullptr)
        {
            w->setProperty("qzWnd", QVariant());
            w->removeEventFilter(Hook());
        }
    widget = nullptr;
    client = nullptr;
    owner->m_hWnd = nullptr;
}

void CWnd::SqzImp::Notify(UINT code)
{
    const AfxMessageScope scope(widget);
    const WPARAM wParam = MAKEWPARAM(id, code);
    const LPARAM lParam = reinterpret_cast<LPARAM>(owner->m_hWnd);
    LRESULT result = 0;
    if (owner->OnChildNotify(WM_COMMAND, wParam, lParam, &result))
        return;
    if (CWnd* parent = owner->GetParent())
        parent->SendMessage(WM_COMMAND, wParam, lParam);
}

namespace afxqt
{
int PostedEventType()
{
    static const int type = QEvent::registerEventType();
    return type;
}

int WindowHeight(QWidget* widget, int requested)
{
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return combo->sizeHint().height();
    return requested;
}

void PostToWidget(QWidget* widget, UINT message, WPARAM wParam, LPARAM lParam)
{
    QCoreApplication::postEvent(widget, new PostedEvent(message, wParam, lParam));
}

LRESULT ComboMessage(QWidget* widget, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* combo = qobject_cast<QComboBox*>(widget);
    if (combo == nullptr)
        return 0;
    switch (message)
    {
    case CB_ADDSTRING:
        combo->addItem(QString::fromWCharArray(reinterpret_cast<const wchar_t*>(lParam)));
        return combo->count() - 1;
    case CB_SETCURSEL:
        if (static_cast<int>(wParam) < combo->count())
        {
            combo->setCurrentIndex(static_cast<int>(wParam));
            return static_cast<LRESULT>(wParam);
        }
        combo->setCurrentIndex(-1);
        return CB_ERR;
    case CB_GETCURSEL:
        return combo->currentIndex();
    case CB_GETCOUNT:
        return combo->count();
    case CB_RESETCONTENT:
        combo->clear();
        return 0;
    default:
        return 0;
    }
}

QWidget* MakeWidget(CWnd* owner, LPCTSTR className, DWORD style, QWidget* parent)
{
    if (Is(className, L"BUTTON"))
        return MakeButton(style, parent);
    if (Is(className, L"COMBOBOX"))
    {
        auto* combo = new QComboBox(parent);
        combo->setEditable((style & 0xF) == CBS_DROPDOWN);
        QObject::connect(combo, &QComboBox::activated,
                         [combo] { NotifyFrom(combo, CBN_SELCHANGE); });
        return combo;
    }
    if (Is(className, L"STATIC"))
    {
        auto* label = new QLabel(parent);
        Qt::Alignment align = (style & 0x3) == SS_CENTER  ? Qt::AlignHCenter
                              : (style & 0x3) == SS_RIGHT ? Qt::AlignRight
                                                          : Qt::AlignLeft;
        align |= (style & SS_CENTERIMAGE) ? Qt::AlignVCenter : Qt::AlignTop;
        label->setAlignment(align);
        return label;
    }
    if (Is(className, L"EDIT"))
    {
        auto* edit = new QLineEdit(parent);
        QObject::connect(edit, &QLineEdit::textEdited, [edit] { NotifyFrom(edit, EN_CHANGE); });
        QObject::connect(edit, &QLineEdit::editingFinished,
                         [edit] { NotifyFrom(edit, EN_KILLFOCUS); });
        return edit;
    }
    auto* window = new QzWindow(owner, parent);
    COLORREF background = 0;
    if (FindWndClass(className, &background))
    {
        QPalette palette = window->palette();
        palette.setColor(QPalette::Window, ToQColor(background));
        window->setPalette(palette);
        window->setAutoFillBackground(true);
    }
    return window;
}
} // namespace afxqt
