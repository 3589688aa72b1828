#pragma once
// The measuring device context of a window for the helper's lifetime.

#include "editor/CqzSelect.h"

class CDC;
class CWnd;

class CqzSelectDC : public CqzSelect
{
public:
    explicit CqzSelectDC(CWnd* window);
    ~CqzSelectDC() override;
    CDC* GetDC() const { return m_dc; }

private:
    CWnd* m_window;
    CDC* m_dc;
};
