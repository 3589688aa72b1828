#pragma once
// Memory for the pages of one paged source: chunks of one size cut from larger blocks, so that
// making a page costs no allocation of its own and its first touch no fault of its own. Blocks
// start small (a source that is read one page at a time holds little) and double up to
// 256 KiB; the blocks after those are of 2 MiB, aligned to 2 MiB and advised to be backed by
// huge pages, so that producing every page of a deep capture takes one fault per 2 MiB instead
// of one per 4 KiB. The 2 MiB blocks are mapped from the system, so a chunk cut from a new one
// is known to hold zero bytes and its page need not clear it; smaller blocks come from the heap
// (a source made again after a release reuses that memory without a system call). Chunks given
// back are reused; blocks are released with the pool. Owned by a page store; not thread-safe.

#include <cstddef>
#include <utility>
#include <vector>

class CqzPageBlockPool
{
public:
    static constexpr std::size_t FirstBlockBytes = std::size_t{64} << 10;
    static constexpr std::size_t LargestHeapBlockBytes = std::size_t{256} << 10;
    static constexpr std::size_t LargestBlockBytes = std::size_t{2} << 20;

    // chunkBytes at least 1; a chunk larger than the largest block gets a block of its own.
    explicit CqzPageBlockPool(std::size_t chunkBytes);
    ~CqzPageBlockPool();
    CqzPageBlockPool(const CqzPageBlockPool&) = delete;
    CqzPageBlockPool& operator=(const CqzPageBlockPool&) = delete;

    std::size_t GetChunkBytes() const { return m_chunkBytes; }
    // A chunk of GetChunkBytes() bytes, aligned to 64 bytes. Its contents are zero bytes when
    // `zeroed` is given and set to true, else undefined. Throws std::bad_alloc when no memory
    // is left, CqzMemoryLimitError (a std::bad_alloc) when a new block would take the run
    // past its memory limit (CqzMemoryBudget::Run(), as "the filter's output").
    void* Take(bool* zeroed = nullptr);
    // Gives back a chunk taken from this pool; ignored once the pool is closed.
    void Give(void* chunk);
    // The pool is about to go with every chunk it gave: chunks given back are not kept.
    void Close() { m_closed = true; }
    // Bytes held in blocks.
    std::size_t GetBlockBytes() const { return m_blockBytes; }

private:
    void AddBlock();
    char* Allocate(std::size_t bytes);

    std::size_t m_chunkBytes;
    std::size_t m_nextBlockBytes = FirstBlockBytes;
    std::size_t m_blockBytes = 0;
    // Blocks as made, for their release: start and mapped length, or length 0 for a block
    // from the heap.
    std::vector<std::pair<void*, std::size_t>> m_blocks;
    bool m_cutZeroed = false;
    bool m_closed = false;
    std::vector<void*> m_free;
    char* m_cut = nullptr;
    char* m_end = nullptr;
};
