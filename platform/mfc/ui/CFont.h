#pragma once
// A font made from a font description. Every face is drawn with the layer's pinned
// user-interface font (see afxqt::MapFont); the description is kept as given.

#include "mfc/ui/CGdiObject.h"
#include "mfc/ui/GdiTypes.h"

class CFont : public CGdiObject
{
public:
    BOOL CreateFontIndirect(const LOGFONT* logFont);
    // pointSize in tenths of a point, at 96 pixels per inch.
    BOOL CreatePointFont(int pointSize, LPCTSTR faceName);
    // False when there is no font.
    BOOL GetLogFont(LOGFONT* logFont) const;

    operator HFONT() const { return m_hObject; }
    static CFont* FromHandle(HFONT handle);
};
