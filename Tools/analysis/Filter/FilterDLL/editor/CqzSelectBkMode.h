#pragma once
// Sets the background mode of a device context; the previous mode comes back on destruction.

#include "editor/CqzSelect.h"

class CDC;

class CqzSelectBkMode : public CqzSelect
{
public:
    CqzSelectBkMode(CDC* dc, int mode);
    ~CqzSelectBkMode() override;

private:
    CDC* m_dc;
    int m_previous;
};
