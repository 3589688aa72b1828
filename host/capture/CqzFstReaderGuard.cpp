#include "capture/CqzFstReaderGuard.h"

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <malloc.h>
#include <unistd.h>

namespace
{
// A reader that gets the end of a file this often in a row, with nothing read between, is in
// a loop that waits for a byte (such as a name's terminating 0) that will never come.
constexpr unsigned kEndsInARow = 1u << 20;

unsigned g_endsInARow = 0;
std::size_t g_heapLimit = std::numeric_limits<std::size_t>::max();
std::size_t g_heapHeld = 0;

void Reserve(std::size_t bytes)
{
    const std::size_t room = g_heapHeld < g_heapLimit ? g_heapLimit - g_heapHeld : 0;
    if (bytes > room)
        ::_exit(CqzFstReaderGuard::eHeapLimit);
}

void* Held(void* block)
{
    if (block != nullptr)
        g_heapHeld += ::malloc_usable_size(block);
    return block;
}

// Blocks the reader did not get from the guard (a libc strdup's) count as nothing.
std::size_t Release(void* block)
{
    const std::size_t bytes = block != nullptr ? ::malloc_usable_size(block) : 0;
    const std::size_t released = bytes < g_heapHeld ? bytes : g_heapHeld;
    g_heapHeld -= released;
    return released;
}
} // namespace

void CqzFstReaderGuard::Arm(std::uint64_t heapBytes)
{
    g_heapLimit = heapBytes != 0 && heapBytes < g_heapLimit ? heapBytes : g_heapLimit;
    g_heapHeld = 0;
    g_endsInARow = 0;
}

// The reader's calls, by the names its build gives them. The child runs one thread.
extern "C" int qzFstGetc(std::FILE* file)
{
    const int c = std::fgetc(file);
    g_endsInARow = c == EOF ? g_endsInARow + 1 : 0;
    if (g_endsInARow >= kEndsInARow)
        ::_exit(CqzFstReaderGuard::eReadPastEnd);
    return c;
}

// The reader's reads are all of structures whose size it knows: one the file ends within
// comes from a damaged size.
extern "C" std::size_t qzFstFread(void* to, std::size_t size, std::size_t count, std::FILE* file)
{
    const std::size_t read = std::fread(to, size, count, file);
    if (size != 0 && read < count) // (a read of no bytes gives 0 items)
        ::_exit(CqzFstReaderGuard::eReadPastEnd);
    return read;
}

extern "C" void* qzFstMalloc(std::size_t bytes)
{
    Reserve(bytes);
    return Held(std::malloc(bytes));
}

extern "C" void* qzFstCalloc(std::size_t count, std::size_t size)
{
    if (size != 0 && count > std::numeric_limits<std::size_t>::max() / size)
        ::_exit(CqzFstReaderGuard::eHeapLimit);
    Reserve(count * size);
    return Held(std::calloc(count, size));
}

extern "C" void* qzFstRealloc(void* block, std::size_t bytes)
{
    const std::size_t released = Release(block);
    Reserve(bytes);
    void* moved = std::realloc(block, bytes);
    if (moved == nullptr && bytes != 0)
    {
        g_heapHeld += released; // the old block stays the reader's
        return nullptr;
    }
    return Held(moved);
}

extern "C" void qzFstFree(void* block)
{
    Release(block);
    std::free(block);
}
