#pragma once
// Tells the host when a tool's favourites change, so that it can keep them in a file shared by
// every session at once (the tool cannot reach the host's code). A tool calls Changed after
// each store, overwrite or delete, and Changed with an empty change before its editor opens;
// the host's handler applies the change to its file and may replace the tool's favourites with
// the file's current content (favourites stored meanwhile by other sessions included).
// Without a handler nothing happens.

#include <cstdint>
#include <functional>
#include <vector>

class CqzFavorites;

// One change of a tool's favourites, by content: `stored` took the place of `replaced` (an empty
// `replaced`: appended), and the favourites in `removed` were deleted. Nothing at all: a request
// to bring the favourites up to date.
struct SqzFavoritesChange
{
    std::vector<std::uint8_t> replaced;
    std::vector<std::uint8_t> stored;
    std::vector<std::vector<std::uint8_t>> removed;
};

class CqzFavoritesMgr
{
public:
    using Handler = std::function<void(CqzFavorites& favorites, const SqzFavoritesChange& change)>;

    static CqzFavoritesMgr& Instance();

    void SetHandler(Handler handler) { m_handler = std::move(handler); }
    // Calls the handler; what it throws is logged as an error, never passed to the tool.
    void Changed(CqzFavorites& favorites, const SqzFavoritesChange& change) const;
    void Reset() { m_handler = nullptr; }

private:
    CqzFavoritesMgr() = default;
    Handler m_handler;
};
