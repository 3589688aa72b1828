#include "editor/CqzFilterDlg.h"

#include "FilterResource.h"
#include "editor/CqzFilterFavoriteMenus.h"
#include "editor/CqzFilterModelView.h"
#include "editor/CqzFilterView.h"
#include "mfc/ui/AfxWin.h"
#include "mfc/ui/CFont.h"
#include "model/CqzFilterModel.h"
#include "qzSystem/managers/CqzHelpMgr.h"
#include "qzSystem/managers/CqzLabelMgr.h"
#include "qzSystem/managers/CqzPlugInMgr.h"
#include "qzSystem/search/CqzPatternCheck.h"
#include "qzSystem/search/CqzSearchEventList.h"
#include "qzSystem/search/CqzSearchEventListView.h"
#include "qzSystem/ui/CqzEdit.h"
#include "tool/CqzFilter.h"

#include <algorithm>
#include <cstdint>

using namespace qzfilterres;

namespace
{
const wchar_t* const HelpTopic = L"To_filter_or_colorize_data.htm";
constexpr UINT FirstKeyMessage = 0x100;
constexpr UINT LastKeyMessage = 0x108;
} // namespace

struct CqzFilterDlg::SqzImp
{
    SqzImp(CqzFilterDlg* owner, CqzFilter* filterTool)
        : dialog(owner), tool(filterTool), view(new CqzFilterView),
          model(filterTool->GetFilterModel())
    {
    }

    CqzFilterDlg* dialog;
    CqzFilter* tool;
    HACCEL accelerators = nullptr;
    CqzFilterView* view; // deletes itself with its window
    bool viewHasWindow = false;
    CqzFilterModel model;
    std::unique_ptr<CqzFilterFavoriteMenus> favorites;
};

BEGIN_MESSAGE_MAP(CqzFilterDlg, CqzFlexDialog)
ON_WM_SIZE()
ON_COMMAND_RANGE(ID_TAB, ID_SHIFT_TAB, OnTab)
ON_COMMAND(IDC_ENABLE, OnEnable)
ON_COMMAND(IDC_DISABLE, OnDisable)
ON_COMMAND(IDC_HELP_BUTTON, OnHelp)
END_MESSAGE_MAP()

CqzFilterDlg::CqzFilterDlg(CqzFilter* tool, CWnd* parent)
    : CqzFlexDialog(L"FilterDlg", IDD_FILTER, parent), m_imp(std::make_unique<SqzImp>(this, tool))
{
    if (m_imp->model.GetSize() == 0)
        m_imp->model.Reset();
    m_imp->favorites = std::make_unique<CqzFilterFavoriteMenus>(
        tool, &m_imp->model, this,
        [this]
        {
            SetRadioButtons();
            // Observing anew announces the model again, which lays the list out.
            m_imp->view->SetModel(static_cast<CqzMvcModel*>(nullptr));
            m_imp->view->SetModel(&m_imp->model);
        });
    AddFlexConstraint(IDC_GROUP, NSFlexExpandRight, NSFlexVerticallyFixed);
    AddFlexConstraint(IDC_ALIGNMENT, NSFlexExpandRight, NSFlexExpandDown);
    for (UINT id : {static_cast<UINT>(IDOK), static_cast<UINT>(IDCANCEL), IDC_STORE, IDC_RECALL,
                    IDC_HELP_BUTTON})
        AddFlexConstraint(id, NSFlexShiftRight, NSFlexShiftDown);
}

CqzFilterDlg::~CqzFilterDlg()
{
    // The list window (and with it the view object) goes before the model it observes.
    DestroyWindow();
    if (!m_imp->viewHasWindow)
        delete m_imp->view;
}

CqzFilterModel& CqzFilterDlg::GetFilterModel()
{
    return m_imp->model;
}

CqzFilterView* CqzFilterDlg::GetView() const
{
    return m_imp->viewHasWindow ? m_imp->view : nullptr;
}

BOOL CqzFilterDlg::OnInitDialog()
{
    CqzFlexDialog::OnInitDialog(nullptr);
    m_imp->favorites->Bind(IDC_STORE, IDC_RECALL);
    SetRadioButtons();
    m_imp->accelerators = LoadAccelerators(AfxGetResourceHandle(), IDR_FILTER_ACCEL);
    CreateView();
    if (auto* tool = dynamic_cast<CqzPlugInAnToolBase*>(
            CqzPlugInMgr::Instance().GetInstanceFromInstanceID(m_imp->tool->GetInstanceID()));
        tool != nullptr && !tool->GetTitle().IsEmpty())
        SetWindowText(tool->GetTitle());
    Place();
    // The first focus is on the first term.
    if (CqzFilterModelView* terms = m_imp->model.GetView(); terms != nullptr && terms->GetButton(0))
    {
        terms->GetButton(0)->SetFocus();
        return FALSE;
    }
    return TRUE;
}

void CqzFilterDlg::Place()
{
    if (!m_imp->viewHasWindow)
        return;
    // Laid out at once: the extent of every term decides the size the dialog asks for.
    m_imp->view->Layout();
    CRect list;
    m_imp->view->GetClientRect(list);
    CRect client;
    GetClientRect(client);
    const CSize extent = m_imp->view->GetExtent();
    const int scrollBar = GetSystemMetrics(SM_CXVSCROLL);
    PlaceDialog(CSize(client.Width() + std::max<LONG>(0, extent.cx + scrollBar - list.Width()),
                      client.Height() + std::max<LONG>(0, extent.cy + 2 - list.Height())));
}

void CqzFilterDlg::CreateView()
{
    CRect units(0, 0, 4, 8);
    MapDialogRect(units);
    LOGFONT font{};
    if (auto* dialogFont = CFont::FromHandle(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT))))
        dialogFont->GetLogFont(&font);
    m_imp->view->SetMetrics(units.bottom, units.right, &font);
    const auto background =
        reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
    LPCTSTR windowClass = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW,
                                              LoadCursor(nullptr, IDC_ARROW), background, nullptr);
    CRect place;
    GetDlgItem(IDC_ALIGNMENT)->GetWindowRect(place);
    ScreenToClient(place);
    m_imp->viewHasWindow = m_imp->view->CreateEx(WS_EX_CONTROLPARENT, windowClass, L"qzFilterView",
                                                 WS_CHILD | WS_VISIBLE | WS_BORDER, place, this,
                                                 static_cast<UINT>(-1)) != FALSE;
    m_imp->view->OnInitialUpdate();
    m_imp->view->SetModel(&m_imp->model);
}

void CqzFilterDlg::SetRadioButtons()
{
    const bool enabled = m_imp->model.IsEnabled();
    GetDlgItem(IDC_ENABLE)->SendMessage(BM_SETCHECK, enabled ? BST_CHECKED : BST_UNCHECKED);
    GetDlgItem(IDC_DISABLE)->SendMessage(BM_SETCHECK, enabled ? BST_UNCHECKED : BST_CHECKED);
}

CRect CqzFilterDlg::PlaceholderRect() const
{
    CRect place;
    GetDlgItem(IDC_ALIGNMENT)->GetWindowRect(place);
    ScreenToClient(place);
    return place;
}

void CqzFilterDlg::OnSize(UINT type, int cx, int cy)
{
    CqzFlexDialog::OnSize(type, cx, cy);
    if (GetDlgItem(IDC_ALIGNMENT) == nullptr || !m_imp->viewHasWindow)
        return;
    const CRect place = PlaceholderRect();
    m_imp->view->SetWindowPos(nullptr, place.left, place.top, place.Width() + 1, place.Height() + 1,
                              SWP_NOZORDER | SWP_NOACTIVATE);
}

void CqzFilterDlg::OnEnable()
{
    m_imp->model.SetEnabled(true);
    SetRadioButtons();
}

void CqzFilterDlg::OnDisable()
{
    m_imp->model.SetEnabled(false);
    SetRadioButtons();
}

BOOL CqzFilterDlg::PreTranslateMessage(MSG* msg)
{
    if (msg->message >= FirstKeyMessage && msg->message <= LastKeyMessage &&
        m_imp->accelerators != nullptr &&
        TranslateAccelerator(GetSafeHwnd(), m_imp->accelerators, msg) != 0)
        return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

void CqzFilterDlg::OnTab(UINT id)
{
    CWnd* focus = CWnd::GetFocus();
    std::vector<CWnd*> order = {GetDlgItem(IDC_ENABLE), GetDlgItem(IDC_DISABLE)};
    m_imp->view->GetWindows(order);
    for (UINT button : {IDC_STORE, IDC_RECALL})
        if (GetDlgItem(button)->IsWindowEnabled())
            order.push_back(GetDlgItem(button));
    for (int button : {IDOK, IDCANCEL, static_cast<int>(IDC_HELP_BUTTON)})
        order.push_back(GetDlgItem(button));
    const auto count = static_cast<std::ptrdiff_t>(order.size());
    const std::ptrdiff_t at = std::find(order.begin(), order.end(), focus) - order.begin();
    std::ptrdiff_t target = 0;
    if (at < count)
        target = id == ID_SHIFT_TAB ? (at + count - 1) % count : (at + 1) % count;
    SendMessage(WM_NEXTDLGCTL,
                reinterpret_cast<WPARAM>(order[static_cast<std::size_t>(target)]->GetSafeHwnd()),
                TRUE);
}

void CqzFilterDlg::OnOK()
{
    if (auto* field = dynamic_cast<CqzEdit*>(CWnd::GetFocus()))
        field->Commit();
    const CString problem = FindProblem();
    if (!problem.IsEmpty())
    {
        MessageBox(problem, L"Filter", MB_OK | MB_ICONWARNING);
        return;
    }
    CqzFlexDialog::OnOK();
}

CString CqzFilterDlg::FindProblem() const
{
    const std::vector<SqzFilterTerm>& terms = m_imp->model.GetTerms();
    for (std::size_t t = 0; t < terms.size(); ++t)
    {
        const CString term = L"Term " + CString(std::to_wstring(t + 1)) +
                             (terms[t].showName ? L" (" + terms[t].name + L")" : CString());
        const CqzSearchEventList& events = *terms[t].search->GetIfClause().GetEventList();
        int row = -1;
        CString reason;
        if (const CqzSearchEventListView* view = events.GetView();
            view == nullptr || !view->FindProblem(row, reason))
            for (int e = 0; e < events.GetEventCount() && reason.IsEmpty(); ++e)
            {
                const CqzPatternModel& pattern = *events.GetEvent(e)->GetEventLabel();
                const CqzLabel* label =
                    CqzLabelMgr::Instance().IDToLabel(pattern.GetLabelInfo().GetLabelID());
                // A label this capture lacks is the run's to report (the term is skipped).
                if (label != nullptr)
                    reason = CqzPatternCheck::PatternProblem(pattern, *label);
                row = e;
            }
        if (!reason.IsEmpty())
            return term + L", row " + CString(std::to_wstring(row + 1)) + L": " + reason;
    }
    return CString();
}

void CqzFilterDlg::OnHelp()
{
    CqzHelpMgr::Instance().DisplayHelpTopic(HelpTopic);
}

BOOL CqzFilterDlg::OnHelpHook()
{
    OnHelp();
    return 1;
}
