#include "editor/CqzSelectBkMode.h"

#include "mfc/ui/CDC.h"

CqzSelectBkMode::CqzSelectBkMode(CDC* dc, int mode) : m_dc(dc), m_previous(dc->SetBkMode(mode)) {}

CqzSelectBkMode::~CqzSelectBkMode()
{
    if (m_previous != 0)
        m_dc->SetBkMode(m_previous);
}
