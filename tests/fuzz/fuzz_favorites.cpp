// Reads arbitrary bytes as a favourites file, as `edit` and `view` do when the dialog opens.
// Bytes that are no setup are refused with the store's one exception; otherwise every favourite
// handed on decodes as a setup of its own (a damaged one is left out with a note), and no more
// are handed on than the store holds. The first byte chooses whether the length and checksum are
// made to fit, so that mutations reach the favourites themselves.
#include "CqzFavoritesFile.h"
#include "FuzzSetupBytes.h"
#include "qzSystem/persist/CqzPersistenceException.h"
#include "qzSystem/persist/CqzPersistenceSetup.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::vector<std::uint8_t> bytes(data + 1, data + size);
    if (data[0] & 1)
        Fit(bytes);
    std::vector<std::string> notes;
    try
    {
        const CqzFavorites favorites = CqzFavoritesFile::Decode(bytes, "fuzz.qzs", notes);
        if (favorites.GetCount() > CqzFavorites::MaxFavorites)
            __builtin_trap();
        for (int i = 0; i < favorites.GetCount(); ++i)
        {
            std::vector<std::uint8_t> favorite = favorites.GetFavorite(i);
            if (!favorite.empty())
                CqzPersistenceSetup probe(favorite, eqzPersistRead); // must not throw
        }
    }
    catch (const CqzPersistenceException&)
    {
        // not a setup, or a count beyond the limit: refused whole
    }
    return 0;
}
