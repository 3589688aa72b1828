#pragma once
// A dialog whose controls follow its size: each constrained control keeps its distance to the
// right or bottom edge (shift) or grows with the dialog (expand), horizontally and vertically
// on their own. Constraints may be added before the window exists; they take hold when the
// dialog is initialised, from the controls' rectangles at that time. The dialog can be made
// larger than its template but not smaller.

#include "mfc/ui/CDialog.h"

#include <vector>

enum NSFlexHorizontalConstraint
{
    NSFlexHorizontallyFixed,
    NSFlexShiftRight,
    NSFlexExpandRight
};

enum NSFlexVerticalConstraint
{
    NSFlexVerticallyFixed,
    NSFlexShiftDown,
    NSFlexExpandDown
};

class CNSFlexDialog : public CDialog
{
public:
    explicit CNSFlexDialog(UINT templateID, CWnd* parent = nullptr);

    void AddFlexConstraint(UINT id, NSFlexHorizontalConstraint horizontal,
                           NSFlexVerticalConstraint vertical);
    BOOL OnInitDialog() override;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;
    void OnSize(UINT type, int cx, int cy);

private:
    struct Constraint
    {
        UINT id;
        NSFlexHorizontalConstraint horizontal;
        NSFlexVerticalConstraint vertical;
        CRect initial; // in client coordinates, when the dialog was initialised
    };
    std::vector<Constraint> m_constraints;
    CSize m_initialSize;
    bool m_initialised = false;
};
