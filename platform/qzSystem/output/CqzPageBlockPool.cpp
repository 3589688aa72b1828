#include "qzSystem/output/CqzPageBlockPool.h"

#include "qzSystem/managers/CqzMemoryBudget.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>

#include <sys/mman.h>

namespace
{
constexpr std::size_t ChunkAlignment = 64;
constexpr std::size_t SystemPage = 4096;

// `bytes` of new zero memory at a multiple of `alignment` (a multiple of the system page): a
// larger mapping with the parts before and after the aligned range given back.
char* MapAligned(std::size_t bytes, std::size_t alignment)
{
    const std::size_t extra = alignment > SystemPage ? alignment : 0;
    void* mapped = mmap(nullptr, bytes + extra, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    char* start = static_cast<char*>(mapped);
    const std::size_t head = (alignment - reinterpret_cast<std::uintptr_t>(start) % alignment) % alignment;
    if (head > 0)
        munmap(start, head);
    if (extra > head)
        munmap(start + head + bytes, extra - head);
    return start + head;
}
} // namespace

CqzPageBlockPool::CqzPageBlockPool(std::size_t chunkBytes)
    : m_chunkBytes((std::max<std::size_t>(chunkBytes, 1) + ChunkAlignment - 1) / ChunkAlignment *
                   ChunkAlignment)
{
}

CqzPageBlockPool::~CqzPageBlockPool()
{
    for (const auto& [start, length] : m_blocks)
        if (length > 0)
            munmap(start, length);
        else
            std::free(start);
    CqzMemoryBudget::Run().Give(CqzMemoryBudget::OutputPages, m_blockBytes);
}

void* CqzPageBlockPool::Take(bool* zeroed)
{
    if (!m_free.empty())
    {
        void* chunk = m_free.back();
        m_free.pop_back();
        if (zeroed != nullptr)
            *zeroed = false;
        return chunk;
    }
    if (static_cast<std::size_t>(m_end - m_cut) < m_chunkBytes)
        AddBlock();
    void* chunk = m_cut;
    m_cut += m_chunkBytes;
    if (zeroed != nullptr)
        *zeroed = m_cutZeroed;
    return chunk;
}

void CqzPageBlockPool::Give(void* chunk)
{
    if (chunk != nullptr && !m_closed)
        m_free.push_back(chunk);
}

// What is left of the current block is dropped: at most one chunk's worth per block. The
// block is taken from the run's memory budget before it is allocated.
void CqzPageBlockPool::AddBlock()
{
    const std::size_t wanted = std::max(m_nextBlockBytes, m_chunkBytes);
    const std::size_t bytes = (wanted + SystemPage - 1) / SystemPage * SystemPage;
    CqzMemoryBudget::Run().Take(CqzMemoryBudget::OutputPages, bytes);
    char* block = nullptr;
    try
    {
        block = Allocate(bytes);
    }
    catch (...)
    {
        CqzMemoryBudget::Run().Give(CqzMemoryBudget::OutputPages, bytes);
        throw;
    }
    m_free.reserve(m_free.size() + bytes / m_chunkBytes);
    m_blockBytes += bytes;
    m_cut = block;
    m_end = m_cut + bytes;
    // Past the heap's sizes the next block is a huge one: the heap's blocks are cleared and
    // faulted 4 KiB at a time, a mapped one is known to be zero and faulted once.
    m_nextBlockBytes =
        m_nextBlockBytes * 2 > LargestHeapBlockBytes ? LargestBlockBytes : m_nextBlockBytes * 2;
}

// Huge blocks are mapped (new zero memory); smaller ones come from the heap, which reuses
// memory a source just released without a system call.
char* CqzPageBlockPool::Allocate(std::size_t bytes)
{
    m_blocks.reserve(m_blocks.size() + 1);
    m_cutZeroed = bytes % LargestBlockBytes == 0;
    if (m_cutZeroed)
    {
        char* block = MapAligned(bytes, LargestBlockBytes);
        m_blocks.emplace_back(block, bytes);
        madvise(block, bytes, MADV_HUGEPAGE); // advice only: without huge pages it still works
        return block;
    }
    char* block = static_cast<char*>(std::aligned_alloc(SystemPage, bytes));
    if (block == nullptr)
        throw std::bad_alloc();
    m_blocks.emplace_back(block, 0);
    return block;
}
