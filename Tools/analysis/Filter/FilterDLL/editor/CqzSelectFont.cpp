#include "editor/CqzSelectFont.h"

#include "mfc/ui/CDC.h"
#include "mfc/ui/CFont.h"

CqzSelectFont::CqzSelectFont(CDC* dc, CFont* font) : m_dc(dc)
{
    if (font != nullptr)
        m_previous = m_dc->SelectObject(font->GetSafeHandle());
    m_dc->GetTextMetrics(&m_metrics);
}

CqzSelectFont::~CqzSelectFont()
{
    if (m_previous != nullptr)
        m_dc->SelectObject(m_previous);
}
