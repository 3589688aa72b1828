#include "mfc/ui/AfxWin.h"

#include "mfc/AfxResource.h"
#include "mfc/ui/AfxMessageScope.h"
#include "mfc/ui/AfxWndImp.h"
#include "mfc/ui/CqzGuardedApplication.h"
#include "mfc/ui/CWnd.h"

#include <QApplication>
#include <QBuffer>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QStyle>

#include <list>
#include <map>
#include <memory>
#include <string>

namespace
{
CWnd* g_mainWnd = nullptr;
Qt::KeyboardModifiers g_modifiers;
bool g_translating = false;
std::unique_ptr<QApplication> g_app;

struct WndClass
{
    std::wstring name;
    COLORREF background;
};

std::list<WndClass>& WndClasses()
{
    static std::list<WndClass> classes;
    return classes;
}

WORD VirtualKey(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<WORD>('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<WORD>('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return static_cast<WORD>(VK_F1 + (key - Qt::Key_F1));
    static const std::map<int, WORD> keys = {
        {Qt::Key_Tab, VK_TAB},      {Qt::Key_Backtab, VK_TAB},     {Qt::Key_Return, VK_RETURN},
        {Qt::Key_Enter, VK_RETURN}, {Qt::Key_Escape, VK_ESCAPE},   {Qt::Key_Space, VK_SPACE},
        {Qt::Key_Left, VK_LEFT},    {Qt::Key_Up, VK_UP},           {Qt::Key_Right, VK_RIGHT},
        {Qt::Key_Down, VK_DOWN},    {Qt::Key_Delete, VK_DELETE},   {Qt::Key_Backspace, VK_BACK},
        {Qt::Key_Shift, VK_SHIFT},  {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU}};
    auto found = keys.find(key);
    return found == keys.end() ? 0 : found->second;
}
} // namespace

namespace afxqt
{
bool FindWndClass(LPCTSTR className, COLORREF* background)
{
    if (className == nullptr)
        return false;
    for (const WndClass& wndClass : WndClasses())
        if (wndClass.name == className)
        {
            *background = wndClass.background;
            return true;
        }
    return false;
}

bool PreTranslateKey(CWnd* target, int qtKey, Qt::KeyboardModifiers modifiers)
{
    const WORD key = VirtualKey(qtKey);
    if (target == nullptr || key == 0)
        return false;
    g_modifiers = modifiers;
    g_translating = true;
    if (qtKey == Qt::Key_Backtab)
        g_modifiers |= Qt::ShiftModifier;
    MSG msg{target->m_hWnd, (modifiers & Qt::AltModifier) ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 0};
    bool taken = false;
    for (CWnd* wnd = target; wnd != nullptr && !taken; wnd = wnd->GetParent())
        taken = wnd->PreTranslateMessage(&msg) != FALSE;
    g_translating = false;
    if (!taken && key == VK_F1)
    {
        HELPINFO info{sizeof(HELPINFO), 1, target->GetDlgCtrlID(), target->m_hWnd, {0, 0}};
        target->SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        taken = true;
    }
    return taken;
}
} // namespace afxqt

BOOL AfxWinInit(int& argc, char** argv)
{
    if (QApplication::instance() == nullptr)
    {
        if (!afxqt::CanStartApplication())
            return FALSE;
        g_app = std::make_unique<CqzGuardedApplication>(argc, argv);
    }
    return afxqt::EnsureApplication();
}

void AfxWinTerm()
{
    g_app.reset();
}

CWnd* AfxGetMainWnd()
{
    return g_mainWnd;
}
void AfxSetMainWnd(CWnd* window)
{
    g_mainWnd = window;
}

int MessageBox(HWND owner, LPCTSTR text, LPCTSTR caption, UINT type)
{
    if (!afxqt::EnsureApplication())
        return IDCANCEL;
    CWnd* ownerWnd = owner != nullptr ? CWnd::FromHandle(owner) : AfxGetMainWnd();
    QWidget* parent = ownerWnd != nullptr ? afxqt::Outer(ownerWnd) : nullptr;
    QMessageBox box(parent);
    box.setText(QString::fromWCharArray(text != nullptr ? text : L""));
    box.setWindowTitle(QString::fromWCharArray(caption != nullptr ? caption : L"Error"));
    switch (type & 0xF0)
    {
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONWARNING:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONERROR:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    switch (type & 0xF)
    {
    case MB_YESNO:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MB_OKCANCEL:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec())
    {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Ok:
        return IDOK;
    default:
        return (type & 0xF) == MB_YESNO ? IDNO : IDCANCEL;
    }
}

int AfxMessageBox(LPCTSTR text, UINT type)
{
    return MessageBox(nullptr, text, nullptr, type);
}

void AfxReleaseAfterMessages(const std::vector<CWnd*>& windows, std::function<void()> release)
{
    std::vector<QPointer<QWidget>> widgets;
    for (const CWnd* wnd : windows)
        if (wnd != nullptr && afxqt::Outer(wnd) != nullptr)
            widgets.emplace_back(afxqt::Outer(wnd));
    AfxMessageScope::ReleaseWhenIdle(std::move(widgets), std::move(release));
}

int GetSystemMetrics(int index)
{
    switch (index)
    {
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
        return afxqt::EnsureApplication()
                   ? QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent)
                   : 16;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXSCREEN:
    case SM_CYSCREEN:
    {
        // The primary screen's room for windows (without panels), else a common screen.
        const QScreen* screen =
            afxqt::EnsureApplication() ? QGuiApplication::primaryScreen() : nullptr;
        const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);
        return index == SM_CXSCREEN ? area.width() : area.height();
    }
    default:
        return 0;
    }
}

BOOL LockWindowUpdate(HWND window)
{
    if (window == nullptr)
    {
        CWnd().UnlockWindowUpdate();
        return TRUE;
    }
    return CWnd::FromHandle(window)->LockWindowUpdate();
}

COLORREF GetSysColor(int index)
{
    if (!afxqt::EnsureApplication())
        return RGB(240, 240, 240);
    const QPalette palette = QApplication::palette();
    return afxqt::ToColorRef(index == COLOR_WINDOW ? palette.color(QPalette::Base)
                                                   : palette.color(QPalette::Button));
}

HCURSOR LoadCursor(HINSTANCE, LPCTSTR name)
{
    return const_cast<wchar_t*>(name);
}

LPCTSTR AfxRegisterWndClass(UINT classStyle, HCURSOR, HBRUSH background, HICON)
{
    const auto value = reinterpret_cast<std::uintptr_t>(background);
    COLORREF color = GetSysColor(COLOR_BTNFACE);
    if (value > 0 && value <= 64)
        color = GetSysColor(static_cast<int>(value) - 1);
    else if (background != nullptr && background->kind == HGDIOBJ__::Brush)
        color = afxqt::ToColorRef(background->brush.color());
    const std::wstring name = L"Afx:" + std::to_wstring(classStyle) + L":" + std::to_wstring(color);
    for (const WndClass& wndClass : WndClasses())
        if (wndClass.name == name)
            return wndClass.name.c_str();
    WndClasses().push_back({name, color});
    return WndClasses().back().name.c_str();
}

HINSTANCE AfxGetResourceHandle()
{
    return nullptr;
}

HACCEL LoadAccelerators(HINSTANCE, UINT id)
{
    return reinterpret_cast<HACCEL>(const_cast<AFX_ACCEL_RESOURCE*>(AfxFindAccelResource(id)));
}

int TranslateAccelerator(HWND window, HACCEL table, LPMSG msg)
{
    if (window == nullptr || table == nullptr || msg == nullptr ||
        (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    for (const ACCEL& entry : reinterpret_cast<const AFX_ACCEL_RESOURCE*>(table)->entries)
    {
        if (!(entry.fVirt & FVIRTKEY) || entry.key != msg->wParam)
            continue;
        if (shift != ((entry.fVirt & FSHIFT) != 0) || control != ((entry.fVirt & FCONTROL) != 0) ||
            alt != ((entry.fVirt & FALT) != 0))
            continue;
        CWnd::FromHandle(window)->SendMessage(WM_COMMAND, MAKEWPARAM(entry.cmd, 1), 0);
        return 1;
    }
    return 0;
}

short GetKeyState(int virtualKey)
{
    const Qt::KeyboardModifiers modifiers =
        g_translating ? g_modifiers : QApplication::keyboardModifiers();
    const bool down = (virtualKey == VK_SHIFT && (modifiers & Qt::ShiftModifier)) ||
                      (virtualKey == VK_CONTROL && (modifiers & Qt::ControlModifier)) ||
                      (virtualKey == VK_MENU && (modifiers & Qt::AltModifier));
    return down ? static_cast<short>(0x8000) : 0;
}

BOOL AfxGetWindowImage(CWnd* window, std::string& png)
{
    QWidget* widget = afxqt::Outer(window);
    if (widget == nullptr)
        return FALSE;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!widget->grab().save(&buffer, "PNG"))
        return FALSE;
    png.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return TRUE;
}
