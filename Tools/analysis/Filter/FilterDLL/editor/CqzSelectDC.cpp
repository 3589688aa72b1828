#include "editor/CqzSelectDC.h"

#include "mfc/ui/CWnd.h"

CqzSelectDC::CqzSelectDC(CWnd* window) : m_window(window), m_dc(window->GetDC()) {}

CqzSelectDC::~CqzSelectDC()
{
    m_window->ReleaseDC(m_dc);
}
