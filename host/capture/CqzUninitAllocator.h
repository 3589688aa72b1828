#pragma once
// An allocator whose vectors grow without writing their new elements (for plain numbers that
// are written in place right after): resize(n) then costs no pass over the memory.

#include <memory>
#include <new>
#include <utility>

template <typename T> class CqzUninitAllocator : public std::allocator<T>
{
public:
    template <typename U> struct rebind
    {
        using other = CqzUninitAllocator<U>;
    };
    CqzUninitAllocator() = default;
    template <typename U> CqzUninitAllocator(const CqzUninitAllocator<U>&) noexcept {}

    // Elements made without a value are left as the memory was.
    template <typename U> void construct(U* p) noexcept { ::new (static_cast<void*>(p)) U; }
    template <typename U, typename... Args> void construct(U* p, Args&&... args)
    {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};
