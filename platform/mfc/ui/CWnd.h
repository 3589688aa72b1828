#pragma once
// A window: one widget of the toolkit, created by Create/CreateEx or bound to an existing
// control of a dialog (SubclassDlgItem). Its handle (HWND) is a stable pointer to this object.
// Messages reach it through WindowProc: the message map of its class and its bases first,
// then DefWindowProc, which gives controls their standard behaviour (WM_SETFONT, WM_GETFONT,
// BM_SETCHECK, CB_ADDSTRING, ...). Input from the toolkit becomes messages: resizing WM_SIZE,
// a left click WM_MOUSEACTIVATE and WM_LBUTTONDOWN, keys go through PreTranslateMessage of the
// focus window and its parents, painting calls OnPaint. Deleting the object destroys its
// window and the windows of its children at once, so a window is not deleted inside its own
// message handling: post a message and delete it when that arrives. Destroying a window
// while it, a child of it or a menu it opened is still handling a message hides it at once and
// destroys it after the last of those handlers has returned (AfxDeleteAfterMessages does the
// same for the objects that own windows).

#include "mfc/CString.h"
#include "mfc/ui/AfxMsgMap.h"
#include "mfc/ui/CObject.h"

#include <vector>

class CDC;
class CFont;
class CMenu;

// A message a window received, as recorded for tests.
struct AFX_RECORDED_MSG
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    friend bool operator==(const AFX_RECORDED_MSG&, const AFX_RECORDED_MSG&) = default;
};

class CWnd : public CObject
{
public:
    CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    static CWnd* FromHandle(HWND hwnd) { return reinterpret_cast<CWnd*>(hwnd); }

    // Window classes: "BUTTON", "COMBOBOX", "STATIC", "EDIT", or a class registered with
    // AfxRegisterWndClass (a plain window with the class's background). Without WS_CHILD the
    // window is a top-level window. False when no window could be made.
    virtual BOOL Create(LPCTSTR className, LPCTSTR windowName, DWORD style, const RECT& rect,
                        CWnd* parent, UINT id);
    // `param` is accepted for the interface (creation data of the window system).
    virtual BOOL CreateEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style,
                          const RECT& rect, CWnd* parent, UINT id, void* param = nullptr);
    // Binds this object to the dialog's control with that identifier, taking the control over
    // from the object that had it. False when the parent has no such control.
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    virtual BOOL DestroyWindow();
    // True while this window, a child of it or a menu it opened is handling a message.
    BOOL IsHandlingMessage() const;

    CWnd* GetParent() const;
    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    // The children in creation order (Tab order).
    std::vector<CWnd*> GetChildren() const;

    void GetWindowRect(LPRECT rect) const;
    void GetClientRect(LPRECT rect) const;
    void ScreenToClient(LPRECT rect) const;
    void ScreenToClient(LPPOINT point) const;
    void ClientToScreen(LPRECT rect) const;
    void ClientToScreen(LPPOINT point) const;
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);

    // Centres the window on its owner (the alternate one when given, else its parent or the
    // active window), kept on the screen.
    void CenterWindow(CWnd* alternateOwner = nullptr);
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    CWnd* SetFocus();
    static CWnd* GetFocus();
    void SetWindowText(LPCTSTR text);
    void GetWindowText(CString& text) const;
    CString GetWindowText() const;
    void SetFont(CFont* font, BOOL redraw = TRUE);
    CFont* GetFont() const;
    // A tool tip shown while the mouse rests on the window.
    void SetToolTipText(LPCTSTR text);
    // Fills the client area with a colour of its own before the content is drawn.
    void SetBackgroundColor(COLORREF color);

    void Invalidate(BOOL erase = TRUE);
    void UpdateWindow();
    BOOL LockWindowUpdate();
    void UnlockWindowUpdate();
    // A measuring device context with the window's font; give it back with ReleaseDC.
    CDC* GetDC();
    int ReleaseDC(CDC* dc);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    int MessageBox(LPCTSTR text, LPCTSTR caption = nullptr, UINT type = MB_OK);

    // Keeps a copy of every message the window receives in `log` (null stops recording).
    void RecordMessages(std::vector<AFX_RECORDED_MSG>* log);

    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // The window that owns the toolkit's widget; internal to the window layer.
    struct SqzImp;
    SqzImp* GetImp() const { return m_imp; }

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Commands from menus, accelerators and child controls; true when handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // A control sees its own notifications first; true keeps them from its parent.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual void OnPaint();
    // Called after the window is gone; views delete themselves here.
    virtual void PostNcDestroy() {}
    // Owner-drawn controls draw themselves here; `dc` paints, `rect` is the whole control.
    virtual void DrawOwnerItem(CDC* dc, const CRect& rect, UINT state);

    void OnSize(UINT type, int cx, int cy);
    int OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message);
    void OnLButtonDown(UINT flags, CPoint point);
    BOOL OnHelpInfo(HELPINFO* info);

private:
    friend struct SqzImp;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    SqzImp* m_imp;
};
