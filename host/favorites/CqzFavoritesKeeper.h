#pragma once
// Keeps the tool's favourites in the favourites file while it lives: it answers the tool's
// changes (CqzFavoritesMgr) by applying them to the file at once, whatever button later ends
// the dialog, and gives the tool the file's current favourites when its editor opens. What
// cannot be read or written is said at once: on standard error and, on a display, in a message
// box over the dialog; the tool keeps its favourites for the session, and the run goes on.
// Owned by the command that opens the editor (`edit`, `view`), for as long as it may open.

#include "CqzFavoritesFile.h"

#include <ostream>
#include <set>
#include <string>

class CqzFavoritesKeeper
{
public:
    CqzFavoritesKeeper(const std::string& path, std::ostream& err);
    ~CqzFavoritesKeeper();
    CqzFavoritesKeeper(const CqzFavoritesKeeper&) = delete;
    CqzFavoritesKeeper& operator=(const CqzFavoritesKeeper&) = delete;

private:
    void OnChange(CqzFavorites& favorites, const SqzFavoritesChange& change);
    void Note(const std::string& text);
    void Tell(const std::string& text);

    CqzFavoritesFile m_file;
    std::ostream& m_err;
    std::set<std::string> m_noted;
};
