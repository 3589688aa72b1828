#include "qzSystem/ui/CqzColorWellButton.h"

#include "mfc/ui/CBrush.h"
#include "mfc/ui/CColorDialog.h"
#include "mfc/ui/CDC.h"
#include "mfc/ui/CMenu.h"
#include "mfc/ui/CPen.h"
#include "qzSystem/commands/CqzControlCmd.h"

namespace
{
constexpr UINT FirstColorID = 1;
constexpr UINT MoreID = 100;
} // namespace

const std::vector<CqzColorWellButton::NamedColor>& CqzColorWellButton::GetCommonColors()
{
    static const std::vector<NamedColor> colors = {
        {L"Black", RGB(0, 0, 0)},     {L"White", RGB(255, 255, 255)}, {L"Red", RGB(255, 0, 0)},
        {L"Green", RGB(0, 160, 0)},   {L"Blue", RGB(0, 0, 255)},      {L"Yellow", RGB(255, 255, 0)},
        {L"Cyan", RGB(0, 255, 255)},  {L"Magenta", RGB(255, 0, 255)}, {L"Orange", RGB(255, 140, 0)},
        {L"Grey", RGB(128, 128, 128)}};
    return colors;
}

BOOL CqzColorWellButton::Create(LPCTSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                                UINT)
{
    return CreateOwnerDrawn(text, style, rect, parent, id);
}

void CqzColorWellButton::SetColor(COLORREF color)
{
    m_color = color;
    Invalidate();
}

bool CqzColorWellButton::ChooseColor()
{
    CMenu menu;
    menu.CreatePopupMenu();
    const auto& colors = GetCommonColors();
    for (std::size_t i = 0; i < colors.size(); ++i)
        menu.AppendMenu(MF_STRING | (colors[i].color == m_color ? MF_CHECKED : 0), FirstColorID + i,
                        colors[i].name);
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING, MoreID, L"More...");
    CRect rect;
    GetWindowRect(rect);
    const UINT id =
        static_cast<UINT>(menu.TrackPopupMenu(TPM_RETURNCMD, rect.left, rect.bottom, this));
    COLORREF chosen = 0;
    if (id == MoreID)
    {
        CColorDialog dialog(m_color, 0, this);
        if (dialog.DoModal() != IDOK)
            return false;
        chosen = dialog.GetColor();
    }
    else if (id >= FirstColorID && id < FirstColorID + colors.size())
        chosen = colors[id - FirstColorID].color;
    else
        return false;
    SetColor(chosen);
    if (m_command != nullptr)
        m_command->Raise(static_cast<std::int32_t>(chosen), this);
    return true;
}

void CqzColorWellButton::DrawContent(CDC* dc, const CRect& rect, bool enabled)
{
    CRect swatch = rect;
    swatch.DeflateRect(4, 4);
    CBrush brush(m_color);
    CPen pen(PS_SOLID, 0, InkColor(enabled));
    CBrush* oldBrush = dc->SelectObject(&brush);
    CPen* oldPen = dc->SelectObject(&pen);
    dc->Rectangle(swatch);
    dc->SelectObject(oldPen);
    dc->SelectObject(oldBrush);
}
