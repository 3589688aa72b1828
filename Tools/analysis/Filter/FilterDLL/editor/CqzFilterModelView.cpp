#include "editor/CqzFilterModelView.h"

#include "FilterResource.h"
#include "editor/CqzSelectFont.h"
#include "mfc/ui/AfxWin.h"
#include "mfc/ui/CDC.h"
#include "mfc/ui/CFont.h"
#include "mfc/ui/CMenu.h"
#include "model/CqzFilterModel.h"
#include "qzSystem/commands/CqzValueChangedCmd.h"
#include "qzSystem/search/CqzSearchCreateViewParameters.h"
#include "qzSystem/ui/CqzAlphaKeypadDlg.h"
#include "qzSystem/ui/CqzChevronMenuBtn.h"
#include "qzSystem/ui/CqzStatic.h"

#include <algorithm>

using namespace qzfilterres;

namespace
{
constexpr UINT ButtonID = 8;
constexpr COLORREF DisabledNameColor = 0x0000FF;
const wchar_t* const ButtonTip = L"Insert/Delete Filter (AND/OR)...";

int PopupIndex(const CqzFilterModel& model, const SqzFilterTerm& term)
{
    return (model.GetSize() > 1 ? 3 : 0) + (term.search->IsEnabled() ? 0 : 1) +
           (term.showName ? 1 : 0);
}
} // namespace

struct CqzFilterModelView::SqzImp
{
    explicit SqzImp(CqzFilterModelView* owner) : view(owner)
    {
        menu.LoadMenu(IDR_FILTER_MENU);
        command =
            std::make_unique<CqzMenuButtonValueChangedCmd<SqzImp>>(this, &SqzImp::OnMenuCommand);
    }

    CqzFilterModel* Model() const { return dynamic_cast<CqzFilterModel*>(view->GetMvcModel()); }
    // Reuses the buttons and name labels of the terms that stay; buttons that go are deleted
    // once they no longer handle a message (their menu may still be open).
    bool Layout(CqzSearchCreateViewParameters& p);
    void RetireLastButton();
    void PlaceTerm(CqzSearchCreateViewParameters& p, const SqzFilterTerm& term, int index,
                   int rowX);
    void AddLabel(CqzSearchCreateViewParameters& p, const SqzFilterTerm& term, int index,
                  const CRect& button, int& x);
    void PlaceTermContent(CqzSearchCreateViewParameters& p, const SqzFilterTerm& term, int rowX);
    bool OnMenuCommand();
    void Rename(int index);

    CqzFilterModelView* view;
    std::vector<std::unique_ptr<CqzChevronMenuBtn>> buttons;
    std::vector<std::unique_ptr<CqzStatic>> labels;
    std::vector<int> popups;
    CMenu menu;
    std::unique_ptr<CqzMenuButtonValueChangedCmd<SqzImp>> command;
    int focusIndex = -1;
};

void CqzFilterModelView::SqzImp::RetireLastButton()
{
    std::unique_ptr<CqzChevronMenuBtn> button = std::move(buttons.back());
    buttons.pop_back();
    button->SetValueChangedCmd(nullptr);
    button->ShowWindow(SW_HIDE);
    CWnd* window = button.get();
    AfxDeleteAfterMessages(std::move(button), {window});
}

bool CqzFilterModelView::SqzImp::Layout(CqzSearchCreateViewParameters& p)
{
    CqzFilterModel* model = Model();
    const std::size_t count = model == nullptr ? 0 : static_cast<std::size_t>(model->GetSize());
    while (buttons.size() > count)
        RetireLastButton();
    labels.resize(std::min(labels.size(), count));
    popups.clear();
    if (count == 0)
        return true;
    const int hd = p.GetHDBU();
    const int sp = p.GetVCtrlSpacing();
    const CPoint start = p.GetPosition();
    std::vector<CPoint> levels = {start};
    const int rowX = start.x + hd;
    p.SetPosition(rowX, start.y + 2 * sp);
    int index = 0;
    for (const SqzFilterTerm& term : model->GetTerms())
    {
        PlaceTerm(p, term, index++, rowX);
        const int bottom = p.GetPosition().y + sp;
        levels.emplace_back(rowX - hd, bottom);
        p.SetPosition(rowX, bottom + 2 * sp);
    }
    p.SetMaxPosition(p.GetMaxPosition().x, p.GetPosition().y);
    p.SetLevels(levels);
    return true;
}

void CqzFilterModelView::SqzImp::PlaceTerm(CqzSearchCreateViewParameters& p,
                                           const SqzFilterTerm& term, int index, int rowX)
{
    const int scrollBar = GetSystemMetrics(SM_CXVSCROLL);
    const CPoint pos = p.GetPosition();
    const CPoint off = p.GetOffsetPosition();
    CPoint max = p.GetMaxPosition();
    CRect rect(pos.x, pos.y, pos.x + scrollBar, pos.y + p.GetVCtrl());
    rect.OffsetRect(-off.x, -off.y);
    const int popup = PopupIndex(*Model(), term);
    const HMENU popupMenu = menu.GetSubMenu(popup)->GetSafeHmenu();
    if (static_cast<std::size_t>(index) == buttons.size())
    {
        auto button = std::make_unique<CqzChevronMenuBtn>();
        button->Create(L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, p.GetParent(), ButtonID,
                       popupMenu, 0, 0);
        button->SetValueChangedCmd(command.get());
        button->ShowToolTip(ButtonTip, -1, -1, -1);
        buttons.push_back(std::move(button));
    }
    CqzChevronMenuBtn* placed = buttons[static_cast<std::size_t>(index)].get();
    placed->MoveWindow(rect);
    placed->SetMenu(popupMenu);
    int x = pos.x + scrollBar;
    if (static_cast<std::size_t>(index) == labels.size())
        labels.push_back(std::make_unique<CqzStatic>());
    if (term.showName)
        AddLabel(p, term, index, rect, x);
    else if (labels[static_cast<std::size_t>(index)]->GetSafeHwnd() != nullptr)
        labels[static_cast<std::size_t>(index)] = std::make_unique<CqzStatic>();
    max.x = std::max(max.x, x);
    p.SetMaxPosition(max);
    p.SetPosition(x, pos.y);
    popups.push_back(popup);
    if (index == focusIndex)
    {
        placed->SetFocus();
        focusIndex = -1;
    }
    const CPoint after = p.GetPosition();
    if (term.showName)
        p.SetPosition(rowX + p.GetHDBU() + scrollBar, after.y + p.GetVCtrl() + p.GetVCtrlSpacing());
    else
        p.SetPosition(after.x + p.GetHDBU(), after.y);
    PlaceTermContent(p, term, rowX);
}

// A label that shows the same name in the same colour is only moved; any other is made anew.
void CqzFilterModelView::SqzImp::AddLabel(CqzSearchCreateViewParameters& p,
                                          const SqzFilterTerm& term, int index, const CRect& button,
                                          int& x)
{
    CqzSelectFont font(p.GetDC(), p.GetFont());
    const int width = p.GetDC()->GetTextExtent(term.name).cx;
    const int hd = p.GetHDBU();
    CRect rect(button.left + GetSystemMetrics(SM_CXVSCROLL) + hd, button.top, 0, button.bottom);
    rect.right = rect.left + width;
    x += hd + width;
    std::unique_ptr<CqzStatic>& label = labels[static_cast<std::size_t>(index)];
    const bool red = !term.search->IsEnabled();
    if (label->GetSafeHwnd() != nullptr && label->HasBkColor() == red &&
        label->GetWindowText() == term.name)
        return label->MoveWindow(rect);
    label = std::make_unique<CqzStatic>();
    label->Create(term.name, WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE, rect,
                  p.GetParent(), 0xFFFF);
    label->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(p.GetFont()->GetSafeHandle()), TRUE);
    if (red)
        label->SetBkColor(DisabledNameColor);
}

void CqzFilterModelView::SqzImp::PlaceTermContent(CqzSearchCreateViewParameters& p,
                                                  const SqzFilterTerm& term, int rowX)
{
    CqzSearchEventList* events = term.search->GetIfClause().GetEventList();
    if (!term.search->IsEnabled())
    {
        term.action->DetachView();
        events->DestroyView();
        return;
    }
    term.action->AttachView(p);
    const CPoint pos = p.GetPosition();
    p.SetPosition(rowX + p.GetHDBU() + GetSystemMetrics(SM_CXVSCROLL),
                  pos.y + p.GetVCtrl() + p.GetVCtrlSpacing());
    events->CreateView(p);
}

bool CqzFilterModelView::SqzImp::OnMenuCommand()
{
    const auto found =
        std::find_if(buttons.begin(), buttons.end(),
                     [this](const auto& button) { return button.get() == command->GetSource(); });
    CqzFilterModel* model = Model();
    if (found == buttons.end() || model == nullptr)
        return true;
    const int i = static_cast<int>(found - buttons.begin());
    switch (static_cast<UINT>(command->GetValue()))
    {
    case ID_INSERT_AFTER:
        focusIndex = i;
        model->InsertAfter(nullptr, nullptr, i);
        break;
    case ID_INSERT_BEFORE:
        focusIndex = i + 1;
        model->InsertBefore(nullptr, nullptr, i);
        break;
    case ID_DELETE_TERM:
        focusIndex = i > 0 ? i - 1 : 0;
        model->Remove(i, true);
        break;
    case ID_SHOW_NAME:
    case ID_HIDE_NAME:
        focusIndex = i;
        model->SetShowFilterName(i, command->GetValue() == static_cast<int>(ID_SHOW_NAME));
        break;
    case ID_DISABLE_TERM:
    case ID_ENABLE_TERM:
        focusIndex = i;
        model->SetFilterEnabled(i, command->GetValue() == static_cast<int>(ID_ENABLE_TERM));
        break;
    case ID_RENAME:
        Rename(i);
        break;
    default:
        break;
    }
    return true;
}

void CqzFilterModelView::SqzImp::Rename(int index)
{
    CqzAlphaKeypadDlg dialog(2, false, nullptr);
    dialog.SetCaption(L"Rename Filter");
    dialog.SetData(Model()->GetFilterName(index));
    if (dialog.DoModal() != IDOK)
        return;
    focusIndex = index;
    Model()->SetFilterName(index, dialog.GetData());
}

CqzFilterModelView::CqzFilterModelView() : m_imp(std::make_unique<SqzImp>(this)) {}

CqzFilterModelView::~CqzFilterModelView()
{
    while (!m_imp->buttons.empty())
        m_imp->RetireLastButton();
    m_imp->labels.clear();
}

bool CqzFilterModelView::CreateControls(CqzSearchCreateViewParameters& parameters)
{
    return m_imp->Layout(parameters);
}

bool CqzFilterModelView::PlaceControls(CqzSearchCreateViewParameters& parameters)
{
    return m_imp->Layout(parameters);
}

void CqzFilterModelView::GetWindows(std::vector<CWnd*>& windows)
{
    CqzFilterModel* model = m_imp->Model();
    if (model == nullptr)
        return;
    const std::vector<SqzFilterTerm>& terms = model->GetTerms();
    for (std::size_t i = 0; i < m_imp->buttons.size() && i < terms.size(); ++i)
    {
        windows.push_back(m_imp->buttons[i].get());
        terms[i].action->UpdateView(windows);
        terms[i].search->GetIfClause().GetEventList()->GetWindows(windows);
    }
}

int CqzFilterModelView::GetPopupIndex(int term) const
{
    if (term < 0 || term >= static_cast<int>(m_imp->popups.size()))
        return -1;
    return m_imp->popups[static_cast<std::size_t>(term)];
}

CWnd* CqzFilterModelView::GetLabel(int term) const
{
    if (term < 0 || term >= static_cast<int>(m_imp->labels.size()))
        return nullptr;
    CWnd* label = m_imp->labels[static_cast<std::size_t>(term)].get();
    return label->GetSafeHwnd() != nullptr ? label : nullptr;
}

CWnd* CqzFilterModelView::GetButton(int term) const
{
    if (term < 0 || term >= static_cast<int>(m_imp->buttons.size()))
        return nullptr;
    return m_imp->buttons[static_cast<std::size_t>(term)].get();
}
