#pragma once
// The host's resizable dialog: a flexible dialog with a name (the help topic and the key under
// which hosts remember its size) and a help hook that WM_HELP (F1) calls.

#include "qzSystem/ui/CNSFlexDialog.h"

class CqzMvcCommand;

class CqzFlexDialog : public CNSFlexDialog
{
public:
    CqzFlexDialog(LPCTSTR name, UINT templateID, CWnd* parent = nullptr);

    const CString& GetName() const { return m_name; }
    BOOL OnInitDialog() override { return OnInitDialog(nullptr); }
    // Initialises the dialog, then executes `command` when there is one.
    BOOL OnInitDialog(CqzMvcCommand* command);
    // Shows help for the dialog; true when help was shown. The host's dialogs show the topic
    // named after the dialog; a dialog with a topic of its own overrides this.
    virtual BOOL OnHelpHook();

    // Closing remembers a size the person gave the dialog (CqzOptionsMgr, by name).
    void OnOK() override;
    void OnCancel() override;

protected:
    // Gives the dialog the client size the person gave it last time, else `preferred` (at
    // least the template's size, at most the screen's), and centres it on its owner.
    void PlaceDialog(CSize preferred);
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;
    BOOL OnHelpInfo(HELPINFO* info);

private:
    void RememberSize();
    CSize ClientSize() const;

    CString m_name;
    CSize m_placedSize;
};
