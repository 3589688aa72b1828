#include "qzSystem/output/CqzBlockArena.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>

namespace
{
constexpr std::size_t Granule = alignof(std::max_align_t);
} // namespace

CqzBlockArena::~CqzBlockArena()
{
    for (const SqzBlock& block : m_blocks)
        ::operator delete(block.start);
}

void CqzBlockArena::Reset()
{
    m_free.clear();
    m_current = 0;
    m_cut = m_blocks.empty() ? nullptr : m_blocks.front().start;
    m_end = m_blocks.empty() ? nullptr : m_cut + m_blocks.front().bytes;
}

// A piece holds at least a list link; pieces of one class share size and alignment, so a
// piece given back fits every later request of its class.
std::size_t CqzBlockArena::SizeClass(std::size_t bytes, std::size_t alignment)
{
    const std::size_t size = (std::max(bytes, sizeof(void*)) + Granule - 1) / Granule * Granule;
    return alignment > Granule ? size + alignment : size;
}

void* CqzBlockArena::do_allocate(std::size_t bytes, std::size_t alignment)
{
    const std::size_t size = SizeClass(bytes, alignment);
    for (auto& [pieceSize, head] : m_free)
        if (pieceSize == size && head != nullptr)
        {
            void* piece = head;
            head = *static_cast<void**>(piece);
            return piece;
        }
    return Cut(size, alignment);
}

void CqzBlockArena::do_deallocate(void* piece, std::size_t bytes, std::size_t alignment)
{
    const std::size_t size = SizeClass(bytes, alignment);
    auto it = std::find_if(m_free.begin(), m_free.end(),
                           [size](const auto& entry) { return entry.first == size; });
    if (it == m_free.end())
    {
        try
        {
            it = m_free.insert(m_free.end(), {size, nullptr});
        }
        catch (const std::bad_alloc&)
        {
            return; // the piece stays unused in its block until Reset
        }
    }
    *static_cast<void**>(piece) = it->second;
    it->second = piece;
}

void* CqzBlockArena::Cut(std::size_t bytes, std::size_t alignment)
{
    void* at = m_cut;
    std::size_t space = static_cast<std::size_t>(m_end - m_cut);
    while (m_cut == nullptr || std::align(alignment, bytes, at, space) == nullptr)
    {
        NextBlock(bytes, alignment);
        at = m_cut;
        space = static_cast<std::size_t>(m_end - m_cut);
    }
    m_cut = static_cast<char*>(at) + bytes;
    return at;
}

// The next kept block that can hold the request, else a new one, twice the last (at most
// the largest block size, or the request with its alignment when that is more).
void CqzBlockArena::NextBlock(std::size_t bytes, std::size_t alignment)
{
    const std::size_t needed = bytes + alignment;
    std::size_t next = m_cut == nullptr ? 0 : m_current + 1;
    while (next < m_blocks.size() && m_blocks[next].bytes < needed)
        ++next;
    if (next == m_blocks.size())
    {
        const std::size_t grown =
            m_blocks.empty() ? FirstBlockBytes
                             : std::min(m_blocks.back().bytes * 2, LargestBlockBytes);
        const std::size_t size = std::max(grown, needed);
        m_blocks.reserve(m_blocks.size() + 1);
        m_blocks.push_back({static_cast<char*>(::operator new(size)), size});
        m_blockBytes += size;
    }
    m_current = next;
    m_cut = m_blocks[next].start;
    m_end = m_cut + m_blocks[next].bytes;
}
