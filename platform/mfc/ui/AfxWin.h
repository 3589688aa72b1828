#pragma once
// The application-wide calls of the window layer: starting the toolkit, the main window,
// message boxes, system metrics, window classes, accelerator tables, keyboard state, and
// pictures of windows.

#include "mfc/ui/AfxMsgMap.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CWnd;

// Runs `release` once none of `windows` (nor a child of one, nor a menu one opened) is
// handling a message: at once when none is, else from the message loop after the last such
// handler has returned. Views hand the controls a relayout no longer needs over here.
void AfxReleaseAfterMessages(const std::vector<CWnd*>& windows, std::function<void()> release);
template <typename T>
void AfxDeleteAfterMessages(std::unique_ptr<T> object, const std::vector<CWnd*>& windows)
{
    std::shared_ptr<T> held(std::move(object));
    AfxReleaseAfterMessages(windows, [held]() mutable { held.reset(); });
}

// Starts the toolkit's application object unless the program made one already; loads the
// pinned font and style. False when no graphical session can be had (no display and no
// platform chosen with QT_QPA_PLATFORM): windows then refuse to be created, message boxes
// answer IDCANCEL, dialogs -1.
BOOL AfxWinInit(int& argc, char** argv);
// Ends the application object AfxWinInit made.
void AfxWinTerm();

// The application's main window: owner of message boxes without an owner. Null by default.
CWnd* AfxGetMainWnd();
void AfxSetMainWnd(CWnd* window);

// A modal message box; the owner may be null (then the main window). Returns IDOK, IDCANCEL,
// IDYES or IDNO.
int MessageBox(HWND owner, LPCTSTR text, LPCTSTR caption, UINT type);
int AfxMessageBox(LPCTSTR text, UINT type = MB_OK);

int GetSystemMetrics(int index);
// Locks drawing of one window at a time (null unlocks); false when another window is locked.
BOOL LockWindowUpdate(HWND window);

// Registers a window class with its class styles and background (a COLOR_... + 1 value or a
// brush) and returns its name, valid until the program ends. The same arguments give the same
// name.
LPCTSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                            HICON icon = nullptr);
HCURSOR LoadCursor(HINSTANCE instance, LPCTSTR name);
COLORREF GetSysColor(int index);

// Accelerator tables come from the resource tables of the loaded modules (the instance is
// accepted for the interface). Null when no module has the table.
HINSTANCE AfxGetResourceHandle();
HACCEL LoadAccelerators(HINSTANCE instance, UINT id);
// A key-down message that matches an entry of the table sends WM_COMMAND with the entry's
// command to the window; returns 1 then, else 0.
int TranslateAccelerator(HWND window, HACCEL table, LPMSG msg);
// The high bit is set while the key is down (for the shift keys, during the key message being
// translated).
short GetKeyState(int virtualKey);

// The window as it is drawn, as the bytes of a PNG file (written by the caller, through the
// safe writer). False when it has no window or the picture cannot be made.
BOOL AfxGetWindowImage(CWnd* window, std::string& png);
