#pragma once
// Memory for many small nodes of one container (map nodes, hash buckets) cut from a few large
// blocks, so that dropping them all costs one release per block instead of one `free` per
// node. A heap that got back millions of small nodes one by one sorts them again on its next
// larger requests, and the first page after a deep run paid for that. Blocks double from
// 4 KiB up to 16 MiB. Pieces given back are reused for requests of the same size; Reset keeps
// the blocks for the next use. Not thread-safe.
//
// A container whose nodes need no destruction (integers) may be dropped without destroying it
// (its storage reused after Reset), which costs nothing per node.

#include <cstddef>
#include <memory_resource>
#include <utility>
#include <vector>

class CqzBlockArena final : public std::pmr::memory_resource
{
public:
    static constexpr std::size_t FirstBlockBytes = std::size_t{4} << 10;
    static constexpr std::size_t LargestBlockBytes = std::size_t{16} << 20;

    CqzBlockArena() = default;
    ~CqzBlockArena() override;
    CqzBlockArena(const CqzBlockArena&) = delete;
    CqzBlockArena& operator=(const CqzBlockArena&) = delete;

    // Everything handed out becomes invalid; the blocks stay for what is asked next.
    void Reset();
    // Bytes held in blocks.
    std::size_t GetBlockBytes() const { return m_blockBytes; }

private:
    struct SqzBlock
    {
        char* start;
        std::size_t bytes;
    };

    void* do_allocate(std::size_t bytes, std::size_t alignment) override;
    void do_deallocate(void* piece, std::size_t bytes, std::size_t alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override
    {
        return this == &other;
    }
    void* Cut(std::size_t bytes, std::size_t alignment);
    void NextBlock(std::size_t bytes, std::size_t alignment);
    static std::size_t SizeClass(std::size_t bytes, std::size_t alignment);

    std::vector<SqzBlock> m_blocks;
    std::size_t m_current = 0;
    std::size_t m_blockBytes = 0;
    char* m_cut = nullptr;
    char* m_end = nullptr;
    // Per size class (bytes, alignment folded in): the head of a list of pieces given back,
    // linked through their first bytes.
    std::vector<std::pair<std::size_t, void*>> m_free;
};
