#pragma once
// Selects a stock object into a device context; the replaced object comes back on destruction
// or at once with Restore.

#include "editor/CqzSelect.h"
#include "win/WinUser.h"

class CDC;

class CqzSelectStock : public CqzSelect
{
public:
    CqzSelectStock(CDC* dc, int stockObject);
    ~CqzSelectStock() override { Restore(); }
    void Restore();

private:
    CDC* m_dc;
    HGDIOBJ m_previous = nullptr;
};
