#pragma once
// A tool's favourite setups: numbered slots 0 to GetCount() - 1, each holding a byte buffer
// (normally an encoded setup; an empty buffer is an empty slot). Owned by the tool by value.
//
// Inside a setup the favourites are one tag "Favorites" at the current level holding "Count"
// (unsigned) and one byte block per slot, "Favorite0" to "Favorite<Count - 1>".

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CqzPersistenceSetup;

class CqzFavorites
{
public:
    // Most slots a store holds, and accepts from a setup.
    static constexpr int MaxFavorites = 1024;

    CqzFavorites();
    CqzFavorites(const CqzFavorites& other);
    CqzFavorites& operator=(const CqzFavorites& other);
    CqzFavorites(CqzFavorites&&) noexcept;
    CqzFavorites& operator=(CqzFavorites&&) noexcept;
    ~CqzFavorites();

    // Slot -1, or any slot at or past the end, appends a new slot; a slot in range is
    // overwritten. Returns the slot used, or -1 when refused (slot below -1, or a full store).
    int StoreFavorite(const std::vector<std::uint8_t>& buffer, int slot);
    // False, leaving 'buffer' alone, for a slot out of range or empty.
    bool RecallFavorite(int slot, std::vector<std::uint8_t>& buffer) const;
    // The slot's buffer; an empty buffer for a slot out of range.
    const std::vector<std::uint8_t>& GetFavorite(int slot) const;
    int GetCount() const;
    int GetSize() const { return GetCount(); }

    // Removes every slot.
    void Clear();
    // Removes the listed slots; later slots move down to close the gaps. Numbers out of range
    // and repeats are ignored.
    void Clear(const std::vector<int>& slots);

    void Save(CqzPersistenceSetup* setup) const;
    // Replaces the slots with those of the setup; no "Favorites" tag loads as none. A count
    // above MaxFavorites throws CqzPersistenceException and keeps the current slots. The slots
    // stored are loaded whatever the count says; a count that disagrees adds a note.
    void Load(CqzPersistenceSetup* setup, std::vector<std::string>* notes = nullptr);

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
