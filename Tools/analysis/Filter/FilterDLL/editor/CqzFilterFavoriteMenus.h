#pragma once
// The two favourite menu buttons of the filter dialog: the menus they show (rebuilt from the
// tool's favourites store after every change) and what their items do. Storing and deleting
// act on the tool's store; recalling replaces the dialog's working model.

#include "mfc/ui/CMenu.h"
#include "qzSystem/commands/CqzValueChangedCmd.h"
#include "qzSystem/ui/CqzMenuButton.h"

#include <functional>
#include <memory>
#include <vector>

class CDialog;
class CqzFilter;
class CqzFilterModel;

class CqzFilterFavoriteMenus
{
public:
    // `recalled` runs after a recall replaced the working model.
    CqzFilterFavoriteMenus(CqzFilter* tool, CqzFilterModel* model, CDialog* dialog,
                           std::function<void()> recalled);
    ~CqzFilterFavoriteMenus();
    CqzFilterFavoriteMenus(const CqzFilterFavoriteMenus&) = delete;
    CqzFilterFavoriteMenus& operator=(const CqzFilterFavoriteMenus&) = delete;

    // Binds the two dialog controls and builds both menus.
    void Bind(UINT storeID, UINT recallID);
    void BuildStoreMenu();
    void BuildRecallMenu();

    bool OnStore();
    bool OnRecall();

private:
    int Count() const;
    std::vector<CString> Names() const;
    void AppendFavorites(CMenu& menu, UINT firstID);
    void Store(const CString& name, int slot);
    bool DeleteAll();
    bool DeleteSome();
    void Recall(int slot);
    void Rebuild();

    CqzFilter* m_tool;
    CqzFilterModel* m_model;
    CDialog* m_dialog;
    std::function<void()> m_recalled;

    CqzMenuButton m_storeButton;
    CMenu m_storeMenu;
    std::unique_ptr<CqzMenuButtonValueChangedCmd<CqzFilterFavoriteMenus>> m_storeCommand;
    int m_storeDeleteAll = -1;
    int m_storeDelete = -1;
    int m_storeMore = -1;
    int m_storeNew = -1;
    int m_storeBase = -1;

    CqzMenuButton m_recallButton;
    CMenu m_recallMenu;
    std::unique_ptr<CqzMenuButtonValueChangedCmd<CqzFilterFavoriteMenus>> m_recallCommand;
    int m_recallDeleteAll = -1;
    int m_recallDelete = -1;
    int m_recallMore = -1;
    int m_recallLast = -1;
};
