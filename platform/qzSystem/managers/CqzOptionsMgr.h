#pragma once
// Host options the plug-ins read: the depth of the favourites menus (how many favourites a
// menu lists before "More..."; 4 by default, at least 1), and the sizes the person gave the
// resizable dialogs, by dialog name (the host keeps them between runs).

#include "mfc/CString.h"
#include "mfc/ui/CRect.h"

#include <map>

class CqzOptionsMgr
{
public:
    static CqzOptionsMgr& Instance();

    int GetFavoriteDepth() const { return m_favoriteDepth; }
    void SetFavoriteDepth(int depth) { m_favoriteDepth = depth > 0 ? depth : 1; }
    // The remembered size of the named dialog; false when there is none.
    bool GetDialogSize(const CString& name, CSize& size) const;
    void SetDialogSize(const CString& name, CSize size) { m_dialogSizes[name] = size; }
    const std::map<CString, CSize>& GetDialogSizes() const { return m_dialogSizes; }
    void Reset()
    {
        m_favoriteDepth = 4;
        m_dialogSizes.clear();
    }

private:
    CqzOptionsMgr() = default;
    int m_favoriteDepth = 4;
    std::map<CString, CSize> m_dialogSizes;
};
