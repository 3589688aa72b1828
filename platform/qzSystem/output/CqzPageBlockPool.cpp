#include "qzSystem/output/CqzPageBlockPool.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include <sys/mman.h>

namespace
{
constexpr std::size_t ChunkAlignment = 64;
constexpr std::size_t SystemPage = 4096;
} // namespace

CqzPageBlockPool::CqzPageBlockPool(std::size_t chunkBytes)
    : m_chunkBytes((std::max<std::size_t>(chunkBytes, 1) + ChunkAlignment - 1) / ChunkAlignment *
                   ChunkAlignment)
{
}

CqzPageBlockPool::~CqzPageBlockPool()
{
    for (void* block : m_blocks)
        std::free(block);
}

void* CqzPageBlockPool::Take()
{
    if (!m_free.empty())
    {
        void* chunk = m_free.back();
        m_free.pop_back();
        return chunk;
    }
    if (static_cast<std::size_t>(m_end - m_cut) < m_chunkBytes)
        AddBlock();
    void* chunk = m_cut;
    m_cut += m_chunkBytes;
    return chunk;
}

void CqzPageBlockPool::Give(void* chunk)
{
    if (chunk != nullptr)
        m_free.push_back(chunk);
}

// What is left of the current block is dropped: at most one chunk's worth per block.
void CqzPageBlockPool::AddBlock()
{
    const std::size_t wanted = std::max(m_nextBlockBytes, m_chunkBytes);
    const std::size_t bytes = (wanted + SystemPage - 1) / SystemPage * SystemPage;
    const bool huge = bytes % LargestBlockBytes == 0;
    void* block = std::aligned_alloc(huge ? LargestBlockBytes : SystemPage, bytes);
    if (block == nullptr)
        throw std::bad_alloc();
    if (huge)
        madvise(block, bytes, MADV_HUGEPAGE); // advice only: without huge pages it still works
    m_blocks.push_back(block);
    m_free.reserve(m_free.size() + bytes / m_chunkBytes);
    m_blockBytes += bytes;
    m_cut = static_cast<char*>(block);
    m_end = m_cut + bytes;
    m_nextBlockBytes = std::min(m_nextBlockBytes * 2, LargestBlockBytes);
}
