#pragma once
// Shows help topics: pages of the HTML help folder the project ships (docs/help). Where there
// is a desktop the page opens in the platform's browser; otherwise, or when the page is
// missing, the request is logged. Every request is remembered, so hosts and tests can see
// which topic was asked for.

#include "mfc/CString.h"

#include <vector>

class CqzHelpMgr
{
public:
    static CqzHelpMgr& Instance();

    // True when the topic's page exists (and was handed to the browser where there is one).
    bool DisplayHelpTopic(const CString& topic);

    void SetHelpFolder(const CString& folder) { m_folder = folder; }
    const CString& GetHelpFolder() const { return m_folder; }
    // Whether pages may be opened in a browser (a host without a desktop turns it off).
    void SetBrowserEnabled(bool enabled) { m_browser = enabled; }
    const std::vector<CString>& GetRequestedTopics() const { return m_topics; }
    void Reset();

private:
    CqzHelpMgr();
    CString m_folder;
    bool m_browser = true;
    std::vector<CString> m_topics;
};
