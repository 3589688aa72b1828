#pragma once
// Lets the person tick the favourites to delete, one check box per favourite. After IDOK,
// GetClearIndicies gives the ticked indices in ascending order.

#include "mfc/ui/CButton.h"
#include "mfc/ui/CDialog.h"

#include <memory>
#include <vector>

class CqzFavoriteClearDlg : public CDialog
{
public:
    explicit CqzFavoriteClearDlg(const std::vector<CString>& names, CWnd* parent = nullptr);
    ~CqzFavoriteClearDlg() override;

    const std::vector<int>& GetClearIndicies() const { return m_indices; }

    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    std::vector<CString> m_names;
    std::vector<std::unique_ptr<CButton>> m_checks;
    std::vector<int> m_indices;
};
