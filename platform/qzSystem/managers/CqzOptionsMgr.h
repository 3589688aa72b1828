#pragma once
// Host options the plug-ins read: the depth of the favourites menus (how many favourites a
// menu lists before "More..."; 4 by default, at least 1).

class CqzOptionsMgr
{
public:
    static CqzOptionsMgr& Instance();

    int GetFavoriteDepth() const { return m_favoriteDepth; }
    void SetFavoriteDepth(int depth) { m_favoriteDepth = depth > 0 ? depth : 1; }
    void Reset() { m_favoriteDepth = 4; }

private:
    CqzOptionsMgr() = default;
    int m_favoriteDepth = 4;
};
