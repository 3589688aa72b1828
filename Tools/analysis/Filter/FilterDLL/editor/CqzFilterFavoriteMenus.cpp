#include "editor/CqzFilterFavoriteMenus.h"

#include "FilterResource.h"
#include "model/CqzFilterModel.h"
#include "mfc/ui/AfxWin.h"
#include "mfc/ui/CDialog.h"
#include "qzSystem/managers/CqzOptionsMgr.h"
#include "qzSystem/persist/CqzFavorites.h"
#include "qzSystem/ui/CqzFavoriteClearDlg.h"
#include "qzSystem/ui/CqzFavoriteMoreDlg.h"
#include "qzSystem/ui/CqzFavoriteNameDlg.h"
#include "tool/CqzFilter.h"

using namespace qzfilterres;

namespace
{
int Depth()
{
    return CqzOptionsMgr::Instance().GetFavoriteDepth();
}

UINT Greyed(bool grey)
{
    return grey ? MF_STRING | MF_GRAYED : MF_STRING;
}

// A fresh empty popup in `menu`, handed to the button.
void Renew(CMenu& menu, CqzMenuButton& button)
{
    menu.DestroyMenu();
    menu.CreatePopupMenu();
    button.SetMenu(menu.GetSafeHmenu());
}

CString DefaultName(int count)
{
    CString name;
    name.Format(L"MyFavorite #%d", count + 1);
    return name;
}
} // namespace

CqzFilterFavoriteMenus::CqzFilterFavoriteMenus(CqzFilter* tool, CqzFilterModel* model,
                                               CDialog* dialog, std::function<void()> recalled)
    : m_tool(tool), m_model(model), m_dialog(dialog), m_recalled(std::move(recalled))
{
    m_storeMenu.CreatePopupMenu();
    m_storeCommand = std::make_unique<CqzMenuButtonValueChangedCmd<CqzFilterFavoriteMenus>>(
        this, &CqzFilterFavoriteMenus::OnStore);
    m_storeButton.SetValueChangedCmd(m_storeCommand.get());
    m_recallMenu.CreatePopupMenu();
    m_recallCommand = std::make_unique<CqzMenuButtonValueChangedCmd<CqzFilterFavoriteMenus>>(
        this, &CqzFilterFavoriteMenus::OnRecall);
    m_recallButton.SetValueChangedCmd(m_recallCommand.get());
}

CqzFilterFavoriteMenus::~CqzFilterFavoriteMenus()
{
    m_recallMenu.DestroyMenu();
}

void CqzFilterFavoriteMenus::Bind(UINT storeID, UINT recallID)
{
    m_storeButton.Bind(storeID, m_dialog, m_storeMenu.GetSafeHmenu(), 0, 0);
    m_recallButton.Bind(recallID, m_dialog, m_recallMenu.GetSafeHmenu(), 0, 0);
    Rebuild();
}

int CqzFilterFavoriteMenus::Count() const
{
    return m_tool->GetFavorites().GetSize();
}

std::vector<CString> CqzFilterFavoriteMenus::Names() const
{
    std::vector<CString> names;
    for (int i = 0; i < Count(); ++i)
        names.push_back(m_tool->GetFavoriteName(i));
    return names;
}

void CqzFilterFavoriteMenus::AppendFavorites(CMenu& menu, UINT firstID)
{
    for (int i = 0; i < Count() && i < Depth(); ++i)
    {
        CString text;
        text.Format(L"#%d - %s", i + 1, m_tool->GetFavoriteName(i).GetString());
        menu.AppendMenu(MF_STRING, firstID + static_cast<UINT>(i), text);
    }
}

void CqzFilterFavoriteMenus::BuildStoreMenu()
{
    const int n = Count();
    m_storeMore = -1;
    m_storeBase = -1;
    Renew(m_storeMenu, m_storeButton);
    m_storeNew = static_cast<int>(ID_STORE_NEW);
    m_storeDelete = static_cast<int>(ID_STORE_DELETE);
    m_storeDeleteAll = static_cast<int>(ID_STORE_DELETE_ALL);
    m_storeMenu.AppendMenu(MF_STRING, ID_STORE_NEW, L"&New...");
    m_storeMenu.AppendMenu(MF_SEPARATOR);
    m_storeMenu.AppendMenu(Greyed(n <= 0), ID_STORE_DELETE, L"&Delete...");
    m_storeMenu.AppendMenu(Greyed(n == 0), ID_STORE_DELETE_ALL, L"Delete &All");
    if (n <= 0)
        return;
    m_storeMenu.AppendMenu(MF_SEPARATOR);
    m_storeBase = 3;
    const UINT first = ID_FAVORITE_FIRST + static_cast<UINT>(m_storeBase);
    AppendFavorites(m_storeMenu, first);
    if (n > Depth())
    {
        m_storeMore = static_cast<int>(first) + Depth();
        m_storeMenu.AppendMenu(MF_SEPARATOR);
        m_storeMenu.AppendMenu(MF_STRING, static_cast<UINT>(m_storeMore), L"&More...");
    }
}

void CqzFilterFavoriteMenus::BuildRecallMenu()
{
    const int n = Count();
    Renew(m_recallMenu, m_recallButton);
    const bool any = n > 0 || m_tool->HasAppliedSetup();
    m_recallButton.EnableWindow(any ? TRUE : FALSE);
    if (!any)
        return;
    AppendFavorites(m_recallMenu, ID_FAVORITE_FIRST);
    UINT next = ID_FAVORITE_FIRST + static_cast<UINT>(std::min(n, Depth()));
    m_recallMore = -1;
    if (n > Depth())
    {
        m_recallMenu.AppendMenu(MF_SEPARATOR);
        m_recallMore = static_cast<int>(next);
        m_recallMenu.AppendMenu(MF_STRING, next++, L"&More...");
    }
    if (n > 0)
        m_recallMenu.AppendMenu(MF_SEPARATOR);
    m_recallLast = static_cast<int>(next);
    m_recallMenu.AppendMenu(Greyed(!m_tool->HasAppliedSetup()), next++, L"&Last");
    m_recallMenu.AppendMenu(MF_SEPARATOR);
    m_recallDelete = static_cast<int>(next);
    m_recallMenu.AppendMenu(Greyed(n <= 0), next++, L"&Delete...");
    m_recallDeleteAll = static_cast<int>(next);
    m_recallMenu.AppendMenu(Greyed(n <= 0), next, L"Delete &All");
}

void CqzFilterFavoriteMenus::Rebuild()
{
    BuildStoreMenu();
    BuildRecallMenu();
}

void CqzFilterFavoriteMenus::Store(const CString& name, int slot)
{
    m_model->SetName(name);
    m_tool->StoreFavorite(*m_model, slot);
}

bool CqzFilterFavoriteMenus::DeleteAll()
{
    CWnd* owner = AfxGetMainWnd();
    if (MessageBox(owner != nullptr ? owner->GetSafeHwnd() : nullptr, L"Delete All Favorites?",
                   L"Are You Sure?", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    m_tool->ClearAllFavorites();
    return true;
}

bool CqzFilterFavoriteMenus::DeleteSome()
{
    CqzFavoriteClearDlg dialog(Names(), m_dialog);
    if (dialog.DoModal() != IDOK)
        return false;
    m_tool->ClearFavorites(dialog.GetClearIndicies());
    return true;
}

bool CqzFilterFavoriteMenus::OnStore()
{
    const int id = m_storeCommand->GetValue();
    if (id == m_storeMore)
    {
        CqzFavoriteMoreDlg dialog(Names(), true, m_dialog);
        if (dialog.DoModal() == IDOK && dialog.GetRecallIndex() >= 0)
            Store(m_tool->GetFavoriteName(dialog.GetRecallIndex()), dialog.GetRecallIndex());
    }
    else if (id == m_storeDeleteAll)
        DeleteAll();
    else if (id == m_storeDelete)
        DeleteSome();
    else if (id == m_storeNew)
    {
        CqzFavoriteNameDlg dialog(m_dialog);
        dialog.SetName(DefaultName(Count()));
        if (dialog.DoModal() == IDOK)
        {
            CString name = dialog.GetName();
            name.Trim();
            Store(name.IsEmpty() ? DefaultName(Count()) : name, -1);
        }
    }
    else
    {
        const int slot = id - static_cast<int>(ID_FAVORITE_FIRST) - m_storeBase;
        Store(m_tool->GetFavoriteName(slot), slot);
    }
    Rebuild();
    return true;
}

bool CqzFilterFavoriteMenus::OnRecall()
{
    const int id = m_recallCommand->GetValue();
    if (id == m_recallMore)
    {
        CqzFavoriteMoreDlg dialog(Names(), false, m_dialog);
        if (dialog.DoModal() == IDOK && dialog.GetRecallIndex() >= 0)
            Recall(dialog.GetRecallIndex());
    }
    else if (id == m_recallDeleteAll)
    {
        if (DeleteAll())
            Rebuild();
    }
    else if (id == m_recallDelete)
    {
        if (DeleteSome())
            Rebuild();
    }
    else if (id == m_recallLast)
        Recall(-1);
    else
        Recall(id - static_cast<int>(ID_FAVORITE_FIRST));
    return true;
}

void CqzFilterFavoriteMenus::Recall(int slot)
{
    if (!m_tool->RecallFavorite(slot, *m_model))
        return;
    m_recalled();
    Rebuild();
}
