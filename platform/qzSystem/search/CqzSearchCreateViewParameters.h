#pragma once
// What a model's views need to create or place their controls: the device context and font
// to measure with, the parent window, the row height and spacing and the horizontal unit in
// pixels, the current position (where the next control goes, in logical coordinates), the
// scroll offset (subtracted to get window coordinates), the maximum position reached so far,
// the tool instance (which labels are available) and the level points a view reports back.
// The caller owns everything it sets; the parameters own nothing.

#include "mfc/ui/CRect.h"
#include "qzSystem/ids/CqzID.h"

#include <vector>

class CDC;
class CFont;
class CWnd;

class CqzSearchCreateViewParameters
{
public:
    CDC* GetDC() const { return m_dc; }
    void SetDC(CDC* dc) { m_dc = dc; }
    CFont* GetFont() const { return m_font; }
    void SetFont(CFont* font) { m_font = font; }
    CWnd* GetParent() const { return m_parent; }
    void SetParent(CWnd* parent) { m_parent = parent; }
    int GetVCtrl() const { return m_vCtrl; }
    void SetVCtrl(int height) { m_vCtrl = height; }
    int GetVCtrlSpacing() const { return m_vSpacing; }
    void SetVCtrlSpacing(int spacing) { m_vSpacing = spacing; }
    int GetHDBU() const { return m_hdbu; }
    void SetHDBU(int unit) { m_hdbu = unit; }

    CPoint GetPosition() const { return m_position; }
    void SetPosition(CPoint position) { m_position = position; }
    void SetPosition(int x, int y) { m_position = CPoint(x, y); }
    CPoint GetOffsetPosition() const { return m_offset; }
    void SetOffsetPosition(CPoint offset) { m_offset = offset; }
    void SetOffsetPosition(int x, int y) { m_offset = CPoint(x, y); }
    CPoint GetMaxPosition() const { return m_max; }
    void SetMaxPosition(CPoint max) { m_max = max; }
    void SetMaxPosition(int x, int y) { m_max = CPoint(x, y); }

    const CqzID& GetInstanceID() const { return m_instanceID; }
    void SetInstanceID(const CqzID& id) { m_instanceID = id; }
    const std::vector<CPoint>& GetLevels() const { return m_levels; }
    void SetLevels(const std::vector<CPoint>& levels) { m_levels = levels; }

private:
    CDC* m_dc = nullptr;
    CFont* m_font = nullptr;
    CWnd* m_parent = nullptr;
    int m_vCtrl = 0;
    int m_vSpacing = 0;
    int m_hdbu = 0;
    CPoint m_position;
    CPoint m_offset;
    CPoint m_max;
    CqzID m_instanceID;
    std::vector<CPoint> m_levels;
};
