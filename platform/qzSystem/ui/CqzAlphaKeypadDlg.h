#pragma once
// A modal dialog in which the person types one line of text: caption and preset text are set
// before DoModal, the text is read back after IDOK. The dictionary names which keys an
// on-screen keypad offers on touch screens; on the desktop the person types, so it is kept
// only for the host's interface, as is the numeric flag.

#include "qzSystem/ui/CqzTextEntryDlg.h"

class CqzAlphaKeypadDlg : public CqzTextEntryDlg
{
public:
    CqzAlphaKeypadDlg(int dictionary, bool numeric, CWnd* parent = nullptr);

    void SetCaption(const CString& caption) { m_caption = caption; }
    void SetData(const CString& data) { m_text = data; }
    const CString& GetData() const { return m_text; }
    int GetDictionary() const { return m_dictionary; }

    BOOL OnInitDialog() override;

private:
    int m_dictionary;
    CString m_caption;
};
