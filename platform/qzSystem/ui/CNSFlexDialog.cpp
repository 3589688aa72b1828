#include "qzSystem/ui/CNSFlexDialog.h"

BEGIN_MESSAGE_MAP(CNSFlexDialog, CDialog)
ON_WM_SIZE()
END_MESSAGE_MAP()

CNSFlexDialog::CNSFlexDialog(UINT templateID, CWnd* parent) : CDialog(templateID, parent) {}

void CNSFlexDialog::AddFlexConstraint(UINT id, NSFlexHorizontalConstraint horizontal,
                                      NSFlexVerticalConstraint vertical)
{
    m_constraints.push_back({id, horizontal, vertical, CRect()});
}

BOOL CNSFlexDialog::OnInitDialog()
{
    CRect client;
    GetClientRect(client);
    m_initialSize = client.Size();
    for (Constraint& constraint : m_constraints)
        if (CWnd* item = GetDlgItem(static_cast<int>(constraint.id)))
        {
            item->GetWindowRect(constraint.initial);
            ScreenToClient(constraint.initial);
        }
    m_initialised = true;
    SetResizable(m_initialSize);
    return CDialog::OnInitDialog();
}

void CNSFlexDialog::OnSize(UINT, int cx, int cy)
{
    if (!m_initialised)
        return;
    const int dx = cx - m_initialSize.cx;
    const int dy = cy - m_initialSize.cy;
    for (const Constraint& constraint : m_constraints)
    {
        CWnd* item = GetDlgItem(static_cast<int>(constraint.id));
        if (item == nullptr)
            continue;
        CRect rect = constraint.initial;
        if (constraint.horizontal == NSFlexShiftRight)
            rect.OffsetRect(dx, 0);
        else if (constraint.horizontal == NSFlexExpandRight)
            rect.right += dx;
        if (constraint.vertical == NSFlexShiftDown)
            rect.OffsetRect(0, dy);
        else if (constraint.vertical == NSFlexExpandDown)
            rect.bottom += dy;
        item->MoveWindow(rect, TRUE);
    }
}
