#pragma once
// Selects a font into a device context and reads the metrics of that font; the previous font
// comes back on destruction.

#include "editor/CqzSelect.h"
#include "mfc/ui/GdiTypes.h"

class CDC;
class CFont;

class CqzSelectFont : public CqzSelect
{
public:
    CqzSelectFont(CDC* dc, CFont* font);
    ~CqzSelectFont() override;
    const TEXTMETRIC& GetMetrics() const { return m_metrics; }

private:
    CDC* m_dc;
    HGDIOBJ m_previous = nullptr;
    TEXTMETRIC m_metrics{};
};
