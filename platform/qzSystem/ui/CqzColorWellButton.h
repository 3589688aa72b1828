#pragma once
// A colour well: a button showing a swatch of its colour. Clicking it opens a menu of common
// colours and "More...", which opens the colour chooser; the chosen colour becomes the well's
// colour and is written into its value-changed command (not owned), which is executed.

#include "qzSystem/ui/CqzOwnerDrawnButton.h"

#include <vector>

class CqzColorWellButtonCmd;

class CqzColorWellButton : public CqzOwnerDrawnButton
{
public:
    // The common colours of the menu, in menu order, with their names.
    struct NamedColor
    {
        const wchar_t* name;
        COLORREF color;
    };
    static const std::vector<NamedColor>& GetCommonColors();

    // `flags` is accepted for the host's interface (0: a plain well).
    BOOL Create(LPCTSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id, UINT flags = 0);
    void SetColor(COLORREF color);
    COLORREF GetColor() const { return m_color; }
    void SetValueChangedCmd(CqzColorWellButtonCmd* command) { m_command = command; }
    // Shows the menu (and the chooser for "More..."); false when nothing was chosen.
    bool ChooseColor();

protected:
    void OnPressed() override { ChooseColor(); }
    void DrawContent(CDC* dc, const CRect& rect, bool enabled) override;

private:
    COLORREF m_color = 0;
    CqzColorWellButtonCmd* m_command = nullptr;
};
