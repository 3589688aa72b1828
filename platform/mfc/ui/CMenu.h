#pragma once
// A menu: items with command identifiers and texts, separators and popups, loaded from a menu
// resource or built item by item. A CMenu owns the menu it created or loaded and destroys it
// in DestroyMenu or its destructor; popups belong to the menu that holds them. TrackPopupMenu
// shows a popup menu at a screen position and returns the command identifier the person chose.

#include "mfc/CString.h"
#include "mfc/ui/CObject.h"
#include "mfc/ui/CRect.h"

class CWnd;

class CMenu : public CObject
{
public:
    CMenu() = default;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    ~CMenu() override;

    HMENU m_hMenu = nullptr;
    HMENU GetSafeHmenu() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }
    // The object for a menu handle: its owner, or a lasting wrapper kept with the menu.
    static CMenu* FromHandle(HMENU menu);

    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    // False when no module has a menu resource of that number.
    BOOL LoadMenu(UINT id);
    BOOL DestroyMenu();
    // Takes over the menu without owning it (Attach) or gives it up (Detach).
    BOOL Attach(HMENU menu);
    HMENU Detach();

    // MF_STRING, MF_SEPARATOR or MF_POPUP (then `id` is the popup's HMENU, which moves into
    // this menu), with MF_GRAYED or MF_CHECKED.
    BOOL AppendMenu(UINT flags, std::uintptr_t id = 0, LPCTSTR text = nullptr);
    // MF_BYCOMMAND or MF_BYPOSITION with MF_ENABLED or MF_GRAYED; returns the previous state
    // or -1 when there is no such item.
    UINT EnableMenuItem(UINT item, UINT enable);
    UINT GetMenuState(UINT item, UINT flags) const;
    int GetMenuItemCount() const;
    UINT GetMenuItemID(int position) const;
    int GetMenuString(UINT item, CString& text, UINT flags) const;
    CMenu* GetSubMenu(int position) const;

    // TPM_RETURNCMD: returns the chosen command (0 for none). Otherwise the choice goes to
    // `owner` as WM_COMMAND and the result says whether there was one.
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT rect = nullptr) const;

private:
    bool m_owned = false;
};
