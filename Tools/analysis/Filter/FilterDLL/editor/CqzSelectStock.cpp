#include "editor/CqzSelectStock.h"

#include "mfc/ui/CDC.h"
#include "mfc/ui/CGdiObject.h"

CqzSelectStock::CqzSelectStock(CDC* dc, int stockObject) : m_dc(dc)
{
    m_previous = m_dc->SelectObject(GetStockObject(stockObject));
}

void CqzSelectStock::Restore()
{
    if (m_previous != nullptr)
        m_dc->SelectObject(m_previous);
    m_previous = nullptr;
}
