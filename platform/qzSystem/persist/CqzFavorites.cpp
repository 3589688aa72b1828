#include "qzSystem/persist/CqzFavorites.h"

#include "qzSystem/persist/CqzPersistenceException.h"
#include "qzSystem/persist/CqzPersistenceSetup.h"

#include <algorithm>
#include <string>

namespace
{
const wchar_t* const TagName = L"Favorites";
const wchar_t* const CountName = L"Count";

CString SlotName(std::size_t slot)
{
    CString name;
    name.Format(L"Favorite%u", slot);
    return name;
}
} // namespace

struct CqzFavorites::SqzImp
{
    std::vector<std::vector<std::uint8_t>> slots;

    bool InRange(int slot) const
    {
        return slot >= 0 && static_cast<std::size_t>(slot) < slots.size();
    }
};

CqzFavorites::CqzFavorites() : m_imp(std::make_unique<SqzImp>()) {}

CqzFavorites::CqzFavorites(const CqzFavorites& other)
    : m_imp(std::make_unique<SqzImp>(*other.m_imp))
{
}

CqzFavorites& CqzFavorites::operator=(const CqzFavorites& other)
{
    if (this != &other)
        *m_imp = *other.m_imp;
    return *this;
}

CqzFavorites::CqzFavorites(CqzFavorites&& other) noexcept : m_imp(std::make_unique<SqzImp>())
{
    std::swap(m_imp, other.m_imp);
}

CqzFavorites& CqzFavorites::operator=(CqzFavorites&& other) noexcept
{
    std::swap(m_imp->slots, other.m_imp->slots);
    return *this;
}

CqzFavorites::~CqzFavorites() = default;

int CqzFavorites::StoreFavorite(const std::vector<std::uint8_t>& buffer, int slot)
{
    if (slot < -1)
        return -1;
    if (m_imp->InRange(slot))
    {
        m_imp->slots[static_cast<std::size_t>(slot)] = buffer;
        return slot;
    }
    if (GetCount() >= MaxFavorites)
        return -1;
    m_imp->slots.push_back(buffer);
    return GetCount() - 1;
}

bool CqzFavorites::RecallFavorite(int slot, std::vector<std::uint8_t>& buffer) const
{
    const auto& stored = GetFavorite(slot);
    if (stored.empty())
        return false;
    buffer = stored;
    return true;
}

const std::vector<std::uint8_t>& CqzFavorites::GetFavorite(int slot) const
{
    static const std::vector<std::uint8_t> none;
    return m_imp->InRange(slot) ? m_imp->slots[static_cast<std::size_t>(slot)] : none;
}

int CqzFavorites::GetCount() const
{
    return static_cast<int>(m_imp->slots.size());
}

void CqzFavorites::Clear()
{
    m_imp->slots.clear();
}

void CqzFavorites::Clear(const std::vector<int>& slots)
{
    std::vector<bool> doomed(m_imp->slots.size(), false);
    for (int slot : slots)
        if (m_imp->InRange(slot))
            doomed[static_cast<std::size_t>(slot)] = true;
    std::vector<std::vector<std::uint8_t>> kept;
    for (std::size_t i = 0; i < doomed.size(); ++i)
        if (!doomed[i])
            kept.push_back(std::move(m_imp->slots[i]));
    m_imp->slots = std::move(kept);
}

void CqzFavorites::Save(CqzPersistenceSetup* setup) const
{
    setup->OpenTag(TagName);
    setup->Write(CountName, static_cast<std::uint32_t>(m_imp->slots.size()));
    for (std::size_t i = 0; i < m_imp->slots.size(); ++i)
        setup->Write(SlotName(i), m_imp->slots[i]);
    setup->CloseTag();
}

void CqzFavorites::Load(CqzPersistenceSetup* setup, std::vector<std::string>* notes)
{
    std::vector<std::vector<std::uint8_t>> loaded;
    if (setup->OpenTag(TagName, false))
    {
        std::uint32_t count = 0;
        setup->Read(CountName, count);
        if (count > static_cast<std::uint32_t>(MaxFavorites))
        {
            setup->CloseTag(false);
            throw CqzPersistenceException("setup holds " + std::to_string(count) +
                                          " favourites, more than the limit of " +
                                          std::to_string(MaxFavorites));
        }
        // The slots stored are what counts: a count that disagrees neither drops a stored
        // slot nor invents a missing one.
        std::vector<std::uint8_t> slot;
        for (std::size_t i = 0; i < static_cast<std::size_t>(MaxFavorites); ++i)
            if (setup->Read(SlotName(i), slot))
                loaded.push_back(std::move(slot));
        setup->CloseTag(false);
        if (notes != nullptr && loaded.size() != count)
            notes->push_back("the favourites' count says " + std::to_string(count) + " but " +
                             std::to_string(loaded.size()) + " are stored; the " +
                             std::to_string(loaded.size()) + " stored are kept");
    }
    m_imp->slots = std::move(loaded);
}
