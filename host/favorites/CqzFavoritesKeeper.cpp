#include "CqzFavoritesKeeper.h"

#include "CqzHostError.h"
#include "CqzTerminalText.h"
#include "mfc/CString.h"
#include "mfc/ui/AfxWin.h"

#include <cstdlib>
#include <cstring>

CqzFavoritesKeeper::CqzFavoritesKeeper(const std::string& path, std::ostream& err)
    : m_file(path), m_err(err)
{
    CqzFavoritesMgr::Instance().SetHandler(
        [this](CqzFavorites& favorites, const SqzFavoritesChange& change)
        { OnChange(favorites, change); });
}

CqzFavoritesKeeper::~CqzFavoritesKeeper()
{
    CqzFavoritesMgr::Instance().SetHandler(nullptr);
}

void CqzFavoritesKeeper::OnChange(CqzFavorites& favorites, const SqzFavoritesChange& change)
{
    std::vector<std::string> notes;
    try
    {
        favorites = m_file.Apply(change, notes);
    }
    catch (const CqzHostError& error)
    {
        const bool reading = change.stored.empty() && change.removed.empty();
        Tell(std::string(error.what()) + (reading ? "; the favourites of this session are used"
                                                  : "; the change is kept for this session only"));
    }
    for (const std::string& note : notes)
        Note(note);
}

// A note is given once a session: the file is read each time the editor opens.
void CqzFavoritesKeeper::Note(const std::string& text)
{
    if (m_noted.insert(text).second)
        m_err << "qzfilter: note: " << CqzTerminalText::Sanitize(text) << "\n" << std::flush;
}

void CqzFavoritesKeeper::Tell(const std::string& text)
{
    m_err << "qzfilter: " << CqzTerminalText::Sanitize(text) << "\n" << std::flush;
    // Offscreen nobody could answer the box.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform == nullptr || std::strcmp(platform, "offscreen") != 0)
        MessageBox(nullptr, CString::FromUtf8(text), L"Favorites", MB_OK | MB_ICONWARNING);
}
