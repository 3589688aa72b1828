#include "mfc/ui/CWnd.h"

#include "mfc/ui/AfxMessageScope.h"
#include "mfc/ui/AfxWin.h"
#include "mfc/ui/AfxWndImp.h"
#include "mfc/ui/CDC.h"
#include "mfc/ui/CFont.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QGroupBox>
#include <QScreen>

#include <algorithm>

namespace
{
CWnd* g_locked = nullptr;

QString ToQString(LPCTSTR text)
{
    return text == nullptr ? QString() : QString::fromWCharArray(text);
}

CString ToCString(const QString& text)
{
    return CString(text.toStdWString());
}

// The text of the toolkit's widget, whichever kind it is.
void SetWidgetText(QWidget* widget, const QString& text)
{
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(text);
    else
        widget->setWindowTitle(text);
}

QString WidgetText(const QWidget* widget)
{
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->text();
    if (auto* group = qobject_cast<const QGroupBox*>(widget))
        return group->title();
    if (auto* combo = qobject_cast<const QComboBox*>(widget))
        return combo->currentText();
    return widget->windowTitle();
}
} // namespace

LRESULT afx::MouseActivateThunk(CWnd* wnd, WPARAM wParam, LPARAM lParam,
                                int (*call)(CWnd*, CWnd*, UINT, UINT))
{
    const auto lp = static_cast<WPARAM>(lParam);
    return call(wnd, CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lp), HIWORD(lp));
}

CWnd::CWnd() : m_imp(new SqzImp(this)) {}

CWnd::~CWnd()
{
    if (g_locked == this)
        g_locked = nullptr;
    QWidget* widget = m_imp->widget;
    m_imp->Unbind();
    AfxMessageScope::DeleteWidget(widget);
    delete m_imp;
}

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const
{
    return GetThisMessageMap();
}

BOOL CWnd::Create(LPCTSTR className, LPCTSTR windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id)
{
    return CreateEx(0, className, windowName, style, rect, parent, id);
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style,
                    const RECT& rect, CWnd* parent, UINT id, void*)
{
    if (m_imp->widget != nullptr || !afxqt::EnsureApplication())
        return FALSE;
    QWidget* parentWidget = afxqt::Client(parent);
    if ((style & WS_CHILD) && parentWidget == nullptr)
        return FALSE;
    QWidget* widget =
        afxqt::MakeWidget(this, className, style, (style & WS_CHILD) ? parentWidget : nullptr);
    m_imp->id = id;
    m_imp->style = style;
    m_imp->exStyle = exStyle;
    m_imp->Bind(widget, nullptr);
    SetWidgetText(widget, ToQString(windowName));
    const CRect r(rect);
    widget->setGeometry(r.left, r.top, r.Width(), afxqt::WindowHeight(widget, r.Height()));
    widget->setEnabled(!(style & WS_DISABLED));
    if (style & WS_TABSTOP)
        widget->setFocusPolicy(Qt::StrongFocus);
    if (!(style & WS_CHILD))
        widget->setAttribute(Qt::WA_DeleteOnClose, false);
    widget->setVisible(style & WS_VISIBLE);
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    CWnd* current = parent != nullptr ? parent->GetDlgItem(static_cast<int>(id)) : nullptr;
    if (current == nullptr || current == this || m_imp->widget != nullptr)
        return FALSE;
    SqzImp* from = current->m_imp;
    QWidget* widget = from->widget;
    m_imp->id = from->id;
    m_imp->style = from->style;
    m_imp->exStyle = from->exStyle;
    m_imp->font = from->font;
    from->Unbind();
    m_imp->Bind(widget, nullptr);
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    QWidget* widget = m_imp->widget;
    if (widget == nullptr)
        return FALSE;
    // The destroyed signal unbinds this window and calls PostNcDestroy, at once or, while the
    // window is handling a message, after that.
    AfxMessageScope::DeleteWidget(widget);
    return TRUE;
}

CWnd* CWnd::GetParent() const
{
    QWidget* widget = m_imp->widget;
    return widget == nullptr ? nullptr : afxqt::WndFromWidget(widget->parentWidget());
}

std::vector<CWnd*> CWnd::GetChildren() const
{
    std::vector<CWnd*> children;
    if (QWidget* client = m_imp->client)
        for (QObject* child : client->children())
            if (child->isWidgetType())
                if (CWnd* wnd = afxqt::WndFromWidget(static_cast<QWidget*>(child));
                    wnd != nullptr && wnd != this)
                    children.push_back(wnd);
    return children;
}

CWnd* CWnd::GetDlgItem(int id) const
{
    for (CWnd* child : GetChildren())
        if (child->GetDlgCtrlID() == id)
            return child;
    return nullptr;
}

int CWnd::GetDlgCtrlID() const
{
    return static_cast<int>(m_imp->id);
}
DWORD CWnd::GetStyle() const
{
    return m_imp->style;
}
DWORD CWnd::GetExStyle() const
{
    return m_imp->exStyle;
}

void CWnd::GetWindowRect(LPRECT rect) const
{
    QWidget* widget = m_imp->widget;
    if (widget == nullptr || rect == nullptr)
        return;
    const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
    *rect = CRect(CPoint(origin.x(), origin.y()), CSize(widget->width(), widget->height()));
}

void CWnd::GetClientRect(LPRECT rect) const
{
    QWidget* client = m_imp->client;
    if (rect != nullptr)
        *rect = client == nullptr ? CRect() : CRect(0, 0, client->width(), client->height());
}

namespace
{
// Moves a point or a rectangle (by its top-left corner) between two coordinate systems.
template <typename Map> void MapPoint(QWidget* client, LPPOINT point, Map map)
{
    if (client != nullptr && point != nullptr)
    {
        const QPoint p = map(client, QPoint(point->x, point->y));
        *point = CPoint(p.x(), p.y());
    }
}

template <typename Map> void MapRect(QWidget* client, LPRECT rect, Map map)
{
    if (rect == nullptr)
        return;
    CPoint topLeft(rect->left, rect->top);
    MapPoint(client, &topLeft, map);
    static_cast<CRect*>(rect)->OffsetRect(topLeft.x - rect->left, topLeft.y - rect->top);
}

QPoint FromScreen(QWidget* client, QPoint p)
{
    return client->mapFromGlobal(p);
}
QPoint ToScreen(QWidget* client, QPoint p)
{
    return client->mapToGlobal(p);
}
} // namespace

void CWnd::ScreenToClient(LPPOINT point) const
{
    MapPoint(m_imp->client, point, FromScreen);
}
void CWnd::ScreenToClient(LPRECT rect) const
{
    MapRect(m_imp->client, rect, FromScreen);
}
void CWnd::ClientToScreen(LPPOINT point) const
{
    MapPoint(m_imp->client, point, ToScreen);
}
void CWnd::ClientToScreen(LPRECT rect) const
{
    MapRect(m_imp->client, rect, ToScreen);
}

BOOL CWnd::SetWindowPos(const CWnd*, int x, int y, int cx, int cy, UINT flags)
{
    QWidget* widget = m_imp->widget;
    if (widget == nullptr)
        return FALSE;
    if (!(flags & SWP_NOMOVE))
        widget->move(x, y);
    if (!(flags & SWP_NOSIZE))
        widget->resize(std::max(0, cx), std::max(0, afxqt::WindowHeight(widget, cy)));
    return TRUE;
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint)
{
    SetWindowPos(nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (repaint)
        Invalidate();
}

void CWnd::MoveWindow(LPCRECT rect, BOOL repaint)
{
    if (rect != nullptr)
        MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
                   repaint);
}

void CWnd::CenterWindow(CWnd* alternateOwner)
{
    QWidget* widget = m_imp->widget;
    if (widget == nullptr)
        return;
    QWidget* owner = alternateOwner != nullptr ? afxqt::Outer(alternateOwner) : nullptr;
    if (owner == nullptr)
        owner = widget->isWindow() ? widget->parentWidget() : nullptr;
    if (owner == nullptr && widget->isWindow())
        owner = QApplication::activeWindow();
    if (owner == widget)
        owner = nullptr;
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect room = screen != nullptr ? screen->availableGeometry() : QRect();
    const QRect area =
        owner != nullptr ? QRect(owner->window()->mapToGlobal(QPoint(0, 0)), owner->window()->size())
                         : room;
    QPoint topLeft = area.center() - QPoint(widget->width() / 2, widget->height() / 2);
    if (!room.isEmpty())
    {
        topLeft.setX(std::clamp(topLeft.x(), room.left(), std::max(room.left(), room.right() - widget->width())));
        topLeft.setY(std::clamp(topLeft.y(), room.top(), std::max(room.top(), room.bottom() - widget->height())));
    }
    widget->move(widget->isWindow() ? topLeft : widget->parentWidget()->mapFromGlobal(topLeft));
}

BOOL CWnd::ShowWindow(int command)
{
    QWidget* widget = m_imp->widget;
    if (widget == nullptr)
        return FALSE;
    const BOOL wasVisible = !widget->isHidden();
    widget->setVisible(command != SW_HIDE);
    if (command != SW_HIDE)
        m_imp->style |= WS_VISIBLE;
    else
        m_imp->style &= ~WS_VISIBLE;
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const
{
    QWidget* widget = m_imp->widget;
    return widget != nullptr && widget->isVisible();
}

BOOL CWnd::EnableWindow(BOOL enable)
{
    QWidget* widget = m_imp->widget;
    if (widget == nullptr)
        return FALSE;
    const BOOL wasDisabled = !widget->isEnabled();
    widget->setEnabled(enable != FALSE);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const
{
    QWidget* widget = m_imp->widget;
    return widget != nullptr && widget->isEnabled();
}

CWnd* CWnd::SetFocus()
{
    CWnd* previous = GetFocus();
    if (QWidget* widget = m_imp->widget)
    {
        // Moving the focus from the program keeps the focus mark as the keyboard left it
        // (the toolkit would hide it), so a relayout that puts the focus back shows it still.
        QWidget* window = widget->window();
        const bool shown = window->testAttribute(Qt::WA_KeyboardFocusChange);
        widget->setFocus(Qt::OtherFocusReason);
        window->setAttribute(Qt::WA_KeyboardFocusChange, shown);
    }
    return previous;
}

CWnd* CWnd::GetFocus()
{
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr && QApplication::activeWindow() != nullptr)
        focus = QApplication::activeWindow()->focusWidget();
    return afxqt::WndFromWidget(focus);
}

void CWnd::SetWindowText(LPCTSTR text)
{
    if (QWidget* widget = m_imp->widget)
        SetWidgetText(widget, ToQString(text));
}

void CWnd::GetWindowText(CString& text) const
{
    QWidget* widget = m_imp->widget;
    text = widget == nullptr ? CString() : ToCString(WidgetText(widget));
}

CString CWnd::GetWindowText() const
{
    CString text;
    GetWindowText(text);
    return text;
}

void CWnd::SetFont(CFont* font, BOOL redraw)
{
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font ? font->GetSafeHandle() : nullptr),
                redraw);
}

CFont* CWnd::GetFont() const
{
    return CFont::FromHandle(
        reinterpret_cast<HFONT>(const_cast<CWnd*>(this)->SendMessage(WM_GETFONT)));
}

void CWnd::SetToolTipText(LPCTSTR text)
{
    if (QWidget* widget = m_imp->widget)
        widget->setToolTip(ToQString(text));
}

void CWnd::SetBackgroundColor(COLORREF color)
{
    if (QWidget* client = m_imp->client)
    {
        QPalette palette = client->palette();
        palette.setColor(client->backgroundRole(), afxqt::ToQColor(color));
        client->setPalette(palette);
        client->setAutoFillBackground(true);
    }
}

void CWnd::Invalidate(BOOL)
{
    if (QWidget* client = m_imp->client)
        client->update();
}

void CWnd::UpdateWindow()
{
    if (QWidget* client = m_imp->client)
        client->repaint();
}

BOOL CWnd::LockWindowUpdate()
{
    QWidget* widget = m_imp->widget;
    if (widget == nullptr || (g_locked != nullptr && g_locked != this))
        return FALSE;
    g_locked = this;
    widget->setUpdatesEnabled(false);
    return TRUE;
}

void CWnd::UnlockWindowUpdate()
{
    if (g_locked == nullptr)
        return;
    CWnd* locked = g_locked;
    g_locked = nullptr;
    if (QWidget* widget = locked->m_imp->widget)
    {
        widget->setUpdatesEnabled(true);
        widget->update();
    }
}

CDC* CWnd::GetDC()
{
    m_imp->dcs.push_back(std::make_unique<CClientDC>(this));
    return m_imp->dcs.back().get();
}

int CWnd::ReleaseDC(CDC* dc)
{
    auto& dcs = m_imp->dcs;
    for (auto it = dcs.begin(); it != dcs.end(); ++it)
        if (it->get() == dc)
        {
            dcs.erase(it);
            return 1;
        }
    return 0;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return WindowProc(message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    QWidget* client = m_imp->client;
    if (client == nullptr)
        return FALSE;
    afxqt::PostToWidget(client, message, wParam, lParam);
    return TRUE;
}

int CWnd::MessageBox(LPCTSTR text, LPCTSTR caption, UINT type)
{
    return ::MessageBox(m_hWnd, text, caption, type);
}

void CWnd::RecordMessages(std::vector<AFX_RECORDED_MSG>* log)
{
    m_imp->log = log;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::IsHandlingMessage() const
{
    return AfxMessageScope::IsBusy(m_imp->widget);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const AfxMessageScope scope(m_imp->widget);
    if (m_imp->log != nullptr)
        m_imp->log->push_back({message, wParam, lParam});
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result))
        return result;
    return DefWindowProc(message, wParam, lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_COMMAND)
        return OnCommand(wParam, lParam);
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->getBaseMap ? map->getBaseMap() : nullptr)
        for (const AFX_MSGMAP_ENTRY* entry = map->entries; entry->thunk != nullptr; ++entry)
        {
            const bool match = entry->registered != nullptr ? *entry->registered == message
                                                            : entry->message == message;
            if (match && message != WM_COMMAND)
            {
                *result = entry->thunk(this, message, wParam, lParam);
                return TRUE;
            }
        }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->getBaseMap ? map->getBaseMap() : nullptr)
        for (const AFX_MSGMAP_ENTRY* entry = map->entries; entry->thunk != nullptr; ++entry)
            if (entry->message == WM_COMMAND && id >= entry->firstID && id <= entry->lastID)
            {
                entry->thunk(this, WM_COMMAND, wParam, lParam);
                return TRUE;
            }
    return FALSE;
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}

void CWnd::OnPaint() {}

void CWnd::DrawOwnerItem(CDC*, const CRect&, UINT) {}

void CWnd::OnSize(UINT, int, int) {}

int CWnd::OnMouseActivate(CWnd*, UINT, UINT)
{
    return MA_ACTIVATE;
}

void CWnd::OnLButtonDown(UINT, CPoint) {}

BOOL CWnd::OnHelpInfo(HELPINFO* info)
{
    CWnd* parent = GetParent();
    return parent != nullptr &&
           parent->SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(info)) != 0;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    QWidget* widget = m_imp->widget;
    switch (message)
    {
    case WM_SETFONT:
        m_imp->font = reinterpret_cast<HFONT>(wParam);
        // A font the widget already shows (most often its parent's) changes nothing: setting
        // it anyway costs a change event, and a drop-down list then makes its popup list.
        if (widget != nullptr && m_imp->font != nullptr && widget->font() != m_imp->font->font)
        {
            widget->setFont(m_imp->font->font);
            if (lParam)
                widget->update();
        }
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_imp->font);
    case WM_HELP:
        return OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam));
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_DRAWITEM:
        if (widget != nullptr)
        {
            CPaintDC dc(this);
            UINT state = widget->hasFocus() ? ODS_FOCUS : 0;
            if (auto* button = qobject_cast<QAbstractButton*>(widget); button && button->isDown())
                state |= ODS_SELECTED;
            if (!widget->isEnabled())
                state |= ODS_DISABLED;
            DrawOwnerItem(&dc, CRect(0, 0, widget->width(), widget->height()), state);
        }
        return 0;
    case WM_NEXTDLGCTL:
        // The keyboard moves the focus: the window then shows the focus mark on its controls.
        if (lParam)
        {
            if (CWnd* target = FromHandle(reinterpret_cast<HWND>(wParam));
                target && target->m_imp->widget)
                target->m_imp->widget->setFocus(Qt::TabFocusReason);
        }
        else if (QWidget* focus = QApplication::focusWidget())
            wParam ? focus->previousInFocusChain()->setFocus(Qt::BacktabFocusReason)
                   : focus->nextInFocusChain()->setFocus(Qt::TabFocusReason);
        return 0;
    case BM_GETCHECK:
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            return button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
        return 0;
    case BM_SETCHECK:
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
        {
            button->setCheckable(true);
            button->setChecked(wParam == BST_CHECKED);
        }
        return 0;
    default:
        return afxqt::ComboMessage(widget, message, wParam, lParam);
    }
}
