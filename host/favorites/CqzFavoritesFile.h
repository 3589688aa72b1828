#pragma once
// The favourites file that every session of a person shares. Each change is applied to the
// file's current content under a lock on its folder and written through CqzFileWriter, so two
// sessions never lose each other's favourites and a failed write leaves the file as it was.
// A damaged favourite is left out with a note naming the file and the favourite; a count that
// disagrees with the favourites stored is repaired with a note.
//
// The file is a binary setup holding the tag "Filter" with the tool's "Favorites" tag inside
// (older files also hold a filter setup there, which is not read).

#include "qzSystem/managers/CqzFavoritesMgr.h"
#include "qzSystem/persist/CqzFavorites.h"

#include <cstdint>
#include <string>
#include <vector>

class CqzFavoritesFile
{
public:
    explicit CqzFavoritesFile(std::string path);

    const std::string& GetPath() const { return m_path; }
    // What the file holds now: none without a file. Throws CqzHostError (exit code 4) naming
    // the file when it cannot be read at all.
    CqzFavorites Read(std::vector<std::string>& notes) const;
    // Applies the change to the file's current content and writes it; answers what the file
    // then holds. An empty change only reads. Throws CqzHostError naming the file and the
    // reason, the file unchanged.
    CqzFavorites Apply(const SqzFavoritesChange& change, std::vector<std::string>& notes) const;

    // The favourites in a file's bytes (`path` for the notes); throws CqzPersistenceException
    // when the bytes are not a setup at all.
    static CqzFavorites Decode(std::vector<std::uint8_t> bytes, const std::string& path,
                               std::vector<std::string>& notes);
    // $XDG_CONFIG_HOME/qzfilter/favorites.qzs, else ~/.config/qzfilter/favorites.qzs.
    static std::string DefaultPath();

private:
    std::string m_path;
};
