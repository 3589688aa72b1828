#pragma once
// A static text (SS_LEFT, SS_CENTER, SS_RIGHT; SS_CENTERIMAGE centres it vertically).

#include "mfc/ui/CWnd.h"

class CStatic : public CWnd
{
public:
    virtual BOOL Create(LPCTSTR text, DWORD style, const RECT& rect, CWnd* parent,
                        UINT id = 0xFFFF);
};
