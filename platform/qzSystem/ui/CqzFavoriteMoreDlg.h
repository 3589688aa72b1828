#pragma once
// Lets the person pick one favourite of a list that is longer than the favourites menus show:
// to overwrite it (store) or to recall it. GetRecallIndex gives the chosen index after IDOK,
// negative when none was chosen.

#include "mfc/ui/CDialog.h"

#include <vector>

class CqzFavoriteMoreDlg : public CDialog
{
public:
    CqzFavoriteMoreDlg(const std::vector<CString>& names, bool store, CWnd* parent = nullptr);

    int GetRecallIndex() const { return m_index; }

    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    std::vector<CString> m_names;
    bool m_store;
    int m_index = -1;
};
