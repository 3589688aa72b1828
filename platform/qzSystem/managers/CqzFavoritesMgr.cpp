#include "qzSystem/managers/CqzFavoritesMgr.h"

#include "qzSystem/managers/CqzInfoMgr.h"

#include <exception>

CqzFavoritesMgr& CqzFavoritesMgr::Instance()
{
    static CqzFavoritesMgr instance;
    return instance;
}

void CqzFavoritesMgr::Changed(CqzFavorites& favorites, const SqzFavoritesChange& change) const
{
    if (!m_handler)
        return;
    try
    {
        m_handler(favorites, change);
    }
    catch (const std::exception& error)
    {
        CqzInfoMgr::Instance().LogMessage(CString::FromUtf8(error.what()), eqzLogError);
    }
}
