#pragma once
// Values of T by page index, for the pages that have one: a paged source's page entries and
// page storage. The values live in leaves of 256 pages, made when a page of theirs first gets a
// value, so a deep source read here and there holds a few leaves and one read through holds a
// leaf per 256 pages (not a node per page). A value stays at its address until it is erased.
// Finding a page in the leaf last used costs an index and a bit test; another leaf is looked
// up by its number. Not thread-safe.

#include <bit>
#include <cstdint>
#include <memory>
#include <new>
#include <unordered_map>
#include <utility>

template <typename T> class CqzPageSlots
{
public:
    static constexpr int LeafPages = 256;

    CqzPageSlots() = default;
    ~CqzPageSlots() { Clear(); }
    CqzPageSlots(const CqzPageSlots&) = delete;
    CqzPageSlots& operator=(const CqzPageSlots&) = delete;

    // The page's value, or null when it has none (a negative page has none).
    T* Find(std::int64_t page) const
    {
        Leaf* leaf = page < 0 ? nullptr : FindLeaf(page / LeafPages);
        const int slot = static_cast<int>(page % LeafPages);
        return leaf != nullptr && leaf->IsUsed(slot) ? leaf->At(slot) : nullptr;
    }

    // The page's value, made from `args` when it has none, and whether it was made. The page
    // is not negative.
    template <typename... A> std::pair<T*, bool> TryEmplace(std::int64_t page, A&&... args)
    {
        Leaf& leaf = GetLeaf(page / LeafPages);
        const int slot = static_cast<int>(page % LeafPages);
        if (leaf.IsUsed(slot))
            return {leaf.At(slot), false};
        T* value = new (leaf.Place(slot)) T(std::forward<A>(args)...);
        leaf.SetUsed(slot, true);
        ++m_size;
        return {value, true};
    }

    // Destroys the page's value; false when it had none.
    bool Erase(std::int64_t page)
    {
        T* value = Find(page);
        if (value == nullptr)
            return false;
        value->~T();
        m_last->SetUsed(static_cast<int>(page % LeafPages), false);
        --m_size;
        return true;
    }

    // visit(page, value) for every page that has a value, leaf by leaf.
    template <typename F> void ForEach(F&& visit)
    {
        for (auto& entry : m_leaves)
        {
            const std::int64_t first = entry.first * LeafPages;
            Leaf* leaf = entry.second.get();
            leaf->ForEachUsed([&](int slot) { visit(first + slot, *leaf->At(slot)); });
        }
    }

    std::size_t GetSize() const { return m_size; }

    void Clear()
    {
        for (auto& entry : m_leaves)
            entry.second->ForEachUsed([&](int slot) { entry.second->At(slot)->~T(); });
        m_leaves.clear();
        m_last = nullptr;
        m_lastNumber = -1;
        m_size = 0;
    }

private:
    struct Leaf
    {
        std::uint64_t used[LeafPages / 64] = {};
        alignas(T) unsigned char storage[LeafPages * sizeof(T)];

        bool IsUsed(int slot) const { return (used[slot / 64] >> (slot % 64) & 1u) != 0; }
        void SetUsed(int slot, bool on)
        {
            const std::uint64_t bit = std::uint64_t{1} << (slot % 64);
            used[slot / 64] = on ? used[slot / 64] | bit : used[slot / 64] & ~bit;
        }
        void* Place(int slot) { return storage + static_cast<std::size_t>(slot) * sizeof(T); }
        T* At(int slot) { return std::launder(static_cast<T*>(Place(slot))); }
        template <typename F> void ForEachUsed(F&& visit)
        {
            for (int w = 0; w < LeafPages / 64; ++w)
                for (std::uint64_t bits = used[w]; bits != 0; bits &= bits - 1)
                    visit(w * 64 + std::countr_zero(bits));
        }
    };

    Leaf* FindLeaf(std::int64_t number) const
    {
        if (number != m_lastNumber)
        {
            const auto it = m_leaves.find(number);
            if (it == m_leaves.end())
                return nullptr;
            m_lastNumber = number;
            m_last = it->second.get();
        }
        return m_last;
    }

    Leaf& GetLeaf(std::int64_t number)
    {
        if (Leaf* leaf = FindLeaf(number))
            return *leaf;
        auto& made = m_leaves[number];
        made.reset(new Leaf); // storage left uninitialised: untouched until used
        m_lastNumber = number;
        m_last = made.get();
        return *m_last;
    }

    std::unordered_map<std::int64_t, std::unique_ptr<Leaf>> m_leaves;
    mutable std::int64_t m_lastNumber = -1;
    mutable Leaf* m_last = nullptr;
    std::size_t m_size = 0;
};
