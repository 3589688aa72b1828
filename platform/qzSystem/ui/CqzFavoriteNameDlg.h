#pragma once
// Asks for the name of a new favourite: preset with SetName, read with GetName after IDOK.

#include "qzSystem/ui/CqzTextEntryDlg.h"

class CqzFavoriteNameDlg : public CqzTextEntryDlg
{
public:
    explicit CqzFavoriteNameDlg(CWnd* parent = nullptr);

    void SetName(const CString& name) { m_text = name; }
    const CString& GetName() const { return m_text; }
};
