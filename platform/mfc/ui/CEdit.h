#pragma once
// A one-line text field; typing sends EN_CHANGE, leaving it (or Enter) EN_KILLFOCUS.

#include "mfc/ui/CWnd.h"

class CEdit : public CWnd
{
public:
    virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
};
