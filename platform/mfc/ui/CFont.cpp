#include "mfc/ui/CFont.h"

#include "mfc/ui/AfxQt.h"

BOOL CFont::CreateFontIndirect(const LOGFONT* logFont)
{
    if (logFont == nullptr)
        return FALSE;
    auto* record = new HGDIOBJ__{HGDIOBJ__::Font, afxqt::MapFont(*logFont), *logFont};
    Own(record);
    return TRUE;
}

BOOL CFont::CreatePointFont(int pointSize, LPCTSTR faceName)
{
    LOGFONT logFont = afxqt::DialogLogFont(faceName, 0);
    logFont.lfHeight = -MulDiv(pointSize, 96, 720);
    return CreateFontIndirect(&logFont);
}

BOOL CFont::GetLogFont(LOGFONT* logFont) const
{
    if (m_hObject == nullptr || logFont == nullptr || m_hObject->kind != HGDIOBJ__::Font)
        return FALSE;
    *logFont = m_hObject->logFont;
    return TRUE;
}

CFont* CFont::FromHandle(HFONT handle)
{
    if (handle == nullptr || handle->kind != HGDIOBJ__::Font)
        return nullptr;
    return static_cast<CFont*>(CGdiObject::FromHandle(handle));
}
