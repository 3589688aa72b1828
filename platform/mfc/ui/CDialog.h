#pragma once
// A dialog built from a dialog resource: its size and its controls' rectangles are given in
// dialog units of the dialog's font and converted as the window system defines them (a
// horizontal unit is a quarter of the font's average character width, a vertical unit an
// eighth of its height). DoModal runs it in a modal loop until EndDialog; Create shows it
// without one. OK and Cancel (also Escape, Enter on the default button, the close box) reach
// OnOK and OnCancel as commands IDOK and IDCANCEL.

#include "mfc/ui/CWnd.h"

class CDialog : public CWnd
{
public:
    explicit CDialog(UINT templateID, CWnd* parent = nullptr);
    ~CDialog() override;

    // The dialog's answer (the EndDialog value); -1 when the resource is missing.
    virtual int DoModal();
    // Builds and shows the dialog without a modal loop; false when the resource is missing.
    BOOL Create(UINT templateID, CWnd* parent = nullptr);
    void EndDialog(int result);
    UINT GetTemplateID() const;

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    BOOL PreTranslateMessage(MSG* msg) override;

    // Dialog units to pixels with the dialog's font.
    void MapDialogRect(LPRECT rect) const;
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;

protected:
    // Lets the person resize the dialog down to `minimum` (client size in pixels).
    void SetResizable(CSize minimum);
    // Gives a dialog of fixed size a new client size (for content known only at run time).
    void SetClientSize(CSize size);

    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;

private:
    bool Build(CWnd* parent);

    struct SqzImp;
    SqzImp* m_imp;
};
