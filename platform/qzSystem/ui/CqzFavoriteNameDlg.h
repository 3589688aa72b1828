#pragma once
// Asks for the name of a new favourite: preset with SetName, read with GetName after IDOK.

#include "mfc/ui/CDialog.h"

class CqzFavoriteNameDlg : public CDialog
{
public:
    explicit CqzFavoriteNameDlg(CWnd* parent = nullptr);

    void SetName(const CString& name) { m_name = name; }
    const CString& GetName() const { return m_name; }

    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    CString m_name;
};
