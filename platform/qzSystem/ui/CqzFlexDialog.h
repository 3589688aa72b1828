#pragma once
// The host's resizable dialog: a flexible dialog with a name (the help topic and the key under
// which hosts remember it) and a help hook that WM_HELP (F1) calls.

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

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;
    BOOL OnHelpInfo(HELPINFO* info);

private:
    CString m_name;
};
