#pragma once
// A push button that opens a popup menu when clicked. The chosen item's command identifier is
// written into the button's value-changed command (with the button as its source), which is
// then executed. The button draws its text with a drop-down arrow. It is bound to a dialog's
// control (Bind) or makes its own window (Create); the popup menu is not owned.

#include "qzSystem/ui/CqzOwnerDrawnButton.h"

class CqzMenuButtonCmd;

class CqzMenuButton : public CqzOwnerDrawnButton
{
public:
    // `imageID` and `imageFlags` name an image shown before the text; no images are shipped,
    // so hosts pass 0 and the button shows text only.
    BOOL Bind(UINT id, CWnd* parent, HMENU menu, UINT imageID = 0, UINT imageFlags = 0);
    BOOL Create(LPCTSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id, HMENU menu,
                UINT imageID = 0, UINT imageFlags = 0);
    void SetMenu(HMENU menu) { m_menu = menu; }
    HMENU GetMenu() const { return m_menu; }
    // The command is not owned.
    void SetValueChangedCmd(CqzMenuButtonCmd* command) { m_command = command; }
    // The tip shown while the mouse rests on the button; the three numbers (delays and width)
    // take the desktop's defaults at -1.
    void ShowToolTip(LPCTSTR text, int initial = -1, int autoPop = -1, int width = -1);
    // Opens the popup below the button and executes the command with the choice; false when
    // nothing was chosen.
    bool ShowMenu();

protected:
    void OnPressed() override { ShowMenu(); }
    void DrawContent(CDC* dc, const CRect& rect, bool enabled) override;
    // The mark drawn at the right end: a down arrow here.
    virtual void DrawMark(CDC* dc, const CRect& area, bool enabled);

private:
    HMENU m_menu = nullptr;
    CqzMenuButtonCmd* m_command = nullptr;
};
