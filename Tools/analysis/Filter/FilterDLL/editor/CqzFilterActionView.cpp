#include "editor/CqzFilterActionView.h"

#include "editor/CqzSelectFont.h"
#include "mfc/ui/AfxWin.h"
#include "mfc/ui/CDC.h"
#include "mfc/ui/CFont.h"
#include "mfc/ui/CStatic.h"
#include "model/CqzFilterAction.h"
#include "qzSystem/commands/CqzValueChangedCmd.h"
#include "qzSystem/search/CqzSearchCreateViewParameters.h"
#include "qzSystem/ui/CqzColorWellButton.h"
#include "qzSystem/ui/CqzComboBox.h"

namespace
{
constexpr UINT ControlID = 1;
const wchar_t* const TypeTexts[] = {L"Show ", L"Hide ", L"Color "};

WPARAM FontHandle(CFont* font)
{
    return reinterpret_cast<WPARAM>(font->GetSafeHandle());
}
} // namespace

struct CqzFilterActionView::SqzImp
{
    explicit SqzImp(CqzFilterActionView* owner) : view(owner)
    {
        typeCommand =
            std::make_unique<CqzComboBoxValueChangedCmd<SqzImp>>(this, &SqzImp::OnTypeChanged);
        colorCommand = std::make_unique<CqzColorWellButtonValueChangedCmd<SqzImp>>(
            this, &SqzImp::OnColorChanged);
        typeList.SetValueChangedCmd(typeCommand.get());
        colorWell.SetValueChangedCmd(colorCommand.get());
    }

    CqzFilterAction* Action() const { return dynamic_cast<CqzFilterAction*>(view->GetMvcModel()); }
    bool IsColor() const { return Action()->GetType() == eqzFilterColor; }
    bool OnTypeChanged()
    {
        Action()->SetType(static_cast<unsigned int>(typeCommand->GetValue()));
        return true;
    }
    bool OnColorChanged()
    {
        Action()->SetColor(static_cast<unsigned int>(colorCommand->GetValue()));
        return true;
    }
    void Create(CqzSearchCreateViewParameters& p);
    void Place(CqzSearchCreateViewParameters& p);

    CqzFilterActionView* view;
    CqzComboBox typeList;
    CqzColorWellButton colorWell;
    CStatic whenLabel;
    std::unique_ptr<CqzComboBoxValueChangedCmd<SqzImp>> typeCommand;
    std::unique_ptr<CqzColorWellButtonValueChangedCmd<SqzImp>> colorCommand;
    CRect typeRect;
    CRect colorRect;
    CRect labelRect;
};

void CqzFilterActionView::SqzImp::Create(CqzSearchCreateViewParameters& p)
{
    const CPoint origin = p.GetPosition();
    CqzSelectFont font(p.GetDC(), p.GetFont());
    CDC* dc = p.GetDC();
    const int hd = p.GetHDBU();
    typeRect = CRect(origin.x, origin.y,
                     origin.x + dc->GetTextExtent(TypeTexts[eqzFilterColor]).cx +
                         GetSystemMetrics(SM_CXVSCROLL) + 4 * GetSystemMetrics(SM_CXEDGE),
                     origin.y + 4 * p.GetVCtrl());
    typeList.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, typeRect, p.GetParent(),
                    ControlID);
    typeList.SendMessage(WM_SETFONT, FontHandle(p.GetFont()), TRUE);
    for (const wchar_t* text : TypeTexts)
        typeList.SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    typeList.SendMessage(CB_SETCURSEL, Action()->GetType());
    CRect closed;
    typeList.GetWindowRect(closed);
    typeRect.bottom = origin.y + closed.Height();

    colorRect = CRect(typeRect.right + hd, typeRect.top, 0, typeRect.bottom);
    colorRect.right = colorRect.left + dc->GetTextExtent(L"No Color").cx;
    colorWell.Create(L"", WS_CHILD | WS_TABSTOP | BS_OWNERDRAW, colorRect, p.GetParent(), ControlID,
                     0);
    colorWell.SetColor(Action()->GetColor());
    colorWell.SendMessage(WM_SETFONT, FontHandle(p.GetFont()), TRUE);

    labelRect = CRect(colorRect.right + hd, colorRect.top, 0, colorRect.bottom);
    labelRect.right = labelRect.left + dc->GetTextExtent(L"when").cx;
    whenLabel.Create(L"when", WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE, labelRect,
                     p.GetParent(), 0xFFFF);
    whenLabel.SendMessage(WM_SETFONT, FontHandle(p.GetFont()), TRUE);
    Place(p);
}

void CqzFilterActionView::SqzImp::Place(CqzSearchCreateViewParameters& p)
{
    const CPoint pos = p.GetPosition();
    const CPoint off = p.GetOffsetPosition();
    CPoint max = p.GetMaxPosition();
    const int hd = p.GetHDBU();
    auto shifted = [off](CRect rect)
    {
        rect.OffsetRect(-off.x, -off.y);
        return rect;
    };
    typeRect.OffsetRect(pos.x - typeRect.left, pos.y - typeRect.top);
    int x = typeRect.right + hd;
    typeList.MoveWindow(shifted(typeRect), TRUE);
    if (IsColor())
    {
        colorRect.OffsetRect(x - colorRect.left, pos.y - colorRect.top);
        colorWell.ShowWindow(SW_SHOW);
        x = colorRect.right + hd;
        colorWell.MoveWindow(shifted(colorRect), TRUE);
    }
    else
        colorWell.ShowWindow(SW_HIDE);
    labelRect.OffsetRect(x - labelRect.left, pos.y - labelRect.top);
    whenLabel.MoveWindow(shifted(labelRect), TRUE);
    x = labelRect.right;
    if (max.x <= x)
        max.x = x;
    p.SetMaxPosition(max);
    p.SetPosition(x, pos.y);
}

CqzFilterActionView::CqzFilterActionView() : m_imp(std::make_unique<SqzImp>(this)) {}

CqzFilterActionView::~CqzFilterActionView() = default;

bool CqzFilterActionView::CreateControls(CqzSearchCreateViewParameters& parameters)
{
    m_imp->Create(parameters);
    return true;
}

bool CqzFilterActionView::PlaceControls(CqzSearchCreateViewParameters& parameters)
{
    m_imp->Place(parameters);
    return true;
}

void CqzFilterActionView::GetWindows(std::vector<CWnd*>& windows)
{
    windows.push_back(&m_imp->typeList);
    if (m_imp->IsColor())
        windows.push_back(&m_imp->colorWell);
}

CWnd* CqzFilterActionView::GetTypeList() const
{
    return &m_imp->typeList;
}

CWnd* CqzFilterActionView::GetColorWell() const
{
    return &m_imp->colorWell;
}

CWnd* CqzFilterActionView::GetWhenLabel() const
{
    return &m_imp->whenLabel;
}
