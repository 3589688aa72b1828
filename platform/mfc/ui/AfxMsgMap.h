#pragma once
// Message maps: a window class lists the messages it handles between BEGIN_MESSAGE_MAP and
// END_MESSAGE_MAP; CWnd::WindowProc looks a message up in the class's map, then in its base
// classes' maps, and calls the handler with the message's parameters unpacked the way the
// window system does (WM_SIZE gives the type and the client width and height, WM_COMMAND the
// command identifier, and so on). A message that no map handles goes to DefWindowProc.

#include "mfc/ui/CRect.h"

#include <type_traits>

class CWnd;

struct MSG
{
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
using LPMSG = MSG*;

struct HELPINFO
{
    UINT cbSize;
    int iContextType;
    int iCtrlId;
    HWND hItemHandle;
    POINT MousePos;
};

// A handler thunk: unpacks the parameters and calls the member of the concrete class.
using AFX_THUNK = LRESULT (*)(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY
{
    UINT message; // 0 ends the map
    UINT firstID; // WM_COMMAND: the range of command identifiers
    UINT lastID;
    const UINT* registered; // a registered message: the variable holding its number
    AFX_THUNK thunk;
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (*getBaseMap)();
    const AFX_MSGMAP_ENTRY* entries;
};

namespace afx
{
template <typename T> struct MemberOf;
template <typename R, typename C, typename... A> struct MemberOf<R (C::*)(A...)>
{
    using Class = C;
};

template <auto Fn> typename MemberOf<decltype(Fn)>::Class* Target(CWnd* wnd)
{
    return static_cast<typename MemberOf<decltype(Fn)>::Class*>(wnd);
}

template <auto Fn> LRESULT Command(CWnd* wnd, UINT, WPARAM, LPARAM)
{
    (Target<Fn>(wnd)->*Fn)();
    return 0;
}
template <auto Fn> LRESULT CommandRange(CWnd* wnd, UINT, WPARAM wParam, LPARAM)
{
    (Target<Fn>(wnd)->*Fn)(LOWORD(wParam));
    return 0;
}
template <auto Fn> LRESULT Message(CWnd* wnd, UINT, WPARAM wParam, LPARAM lParam)
{
    return (Target<Fn>(wnd)->*Fn)(wParam, lParam);
}
template <auto Fn> LRESULT Size(CWnd* wnd, UINT, WPARAM wParam, LPARAM lParam)
{
    (Target<Fn>(wnd)->*Fn)(static_cast<UINT>(wParam), LOWORD(static_cast<WPARAM>(lParam)),
                           HIWORD(static_cast<WPARAM>(lParam)));
    return 0;
}
template <auto Fn> LRESULT Mouse(CWnd* wnd, UINT, WPARAM wParam, LPARAM lParam)
{
    const auto lp = static_cast<WPARAM>(lParam);
    (Target<Fn>(wnd)->*Fn)(static_cast<UINT>(wParam),
                           CPoint(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))));
    return 0;
}
LRESULT MouseActivateThunk(CWnd* wnd, WPARAM wParam, LPARAM lParam,
                           int (*call)(CWnd*, CWnd*, UINT, UINT));
template <auto Fn> LRESULT MouseActivate(CWnd* wnd, UINT, WPARAM wParam, LPARAM lParam)
{
    return MouseActivateThunk(wnd, wParam, lParam,
                              [](CWnd* w, CWnd* top, UINT hit, UINT msg)
                              { return static_cast<int>((Target<Fn>(w)->*Fn)(top, hit, msg)); });
}
template <auto Fn> LRESULT HelpInfo(CWnd* wnd, UINT, WPARAM, LPARAM lParam)
{
    return (Target<Fn>(wnd)->*Fn)(reinterpret_cast<HELPINFO*>(lParam));
}
template <auto Fn> LRESULT Paint(CWnd* wnd, UINT, WPARAM, LPARAM)
{
    (Target<Fn>(wnd)->*Fn)();
    return 0;
}
} // namespace afx

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const                                              \
    {                                                                                              \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                                \
    {                                                                                              \
        using ThisClass = theClass;                                                                \
        using TheBaseClass = baseClass;                                                            \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                                          \
    {                                                                                              \
        0, 0, 0, nullptr, nullptr                                                                  \
    }                                                                                              \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries};                     \
    return &map;                                                                                   \
    }

#define ON_COMMAND(id, fn) {WM_COMMAND, (id), (id), nullptr, &afx::Command<&ThisClass::fn>},
#define ON_COMMAND_RANGE(first, last, fn)                                                          \
    {WM_COMMAND, (first), (last), nullptr, &afx::CommandRange<&ThisClass::fn>},
#define ON_MESSAGE(message, fn) {(message), 0, 0, nullptr, &afx::Message<&ThisClass::fn>},
#define ON_REGISTERED_MESSAGE(variable, fn)                                                        \
    {0xFFFFFFFFu, 0, 0, &(variable), &afx::Message<&ThisClass::fn>},
#define ON_WM_SIZE() {WM_SIZE, 0, 0, nullptr, &afx::Size<&ThisClass::OnSize>},
#define ON_WM_LBUTTONDOWN() {WM_LBUTTONDOWN, 0, 0, nullptr, &afx::Mouse<&ThisClass::OnLButtonDown>},
#define ON_WM_MOUSEACTIVATE()                                                                      \
    {WM_MOUSEACTIVATE, 0, 0, nullptr, &afx::MouseActivate<&ThisClass::OnMouseActivate>},
#define ON_WM_HELPINFO() {WM_HELP, 0, 0, nullptr, &afx::HelpInfo<&ThisClass::OnHelpInfo>},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, nullptr, &afx::Paint<&ThisClass::OnPaint>},
