#pragma once
// A graphics object (font, pen, brush) held through a handle. The object that creates the
// handle owns it and deletes it in DeleteObject or its destructor; FromHandle finds that
// owner again (or the permanent wrapper of a stock object).

#include "mfc/ui/CObject.h"
#include "win/WinUser.h"

class CGdiObject : public CObject
{
public:
    CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    ~CGdiObject() override;

    HGDIOBJ m_hObject = nullptr;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    operator HGDIOBJ() const { return m_hObject; }
    // Frees the owned handle; false when there is none.
    BOOL DeleteObject();
    // A stock object by number (WHITE_BRUSH, NULL_BRUSH, BLACK_PEN, NULL_PEN,
    // DEFAULT_GUI_FONT, ...); stock objects are never deleted.
    BOOL CreateStockObject(int index);

    static CGdiObject* FromHandle(HGDIOBJ handle);

protected:
    // Takes ownership of a new record.
    void Own(HGDIOBJ handle);

private:
    bool m_owned = false;
};

// The stock object's handle, or null for an unknown number.
HGDIOBJ GetStockObject(int index);
