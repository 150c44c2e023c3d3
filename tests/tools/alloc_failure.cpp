// tests/tools/alloc_failure.cpp: the replaced global allocation functions.
#include "alloc_failure.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<long> g_live{0}, g_total{0}, g_failAfter{-1};

void* Allocate(size_t size)
{
    if (g_failAfter.load() >= 0 && g_failAfter-- == 0)
        return nullptr;
    void* p = std::malloc(size ? size : 1);
    if (p)
        ++g_live, ++g_total;
    return p;
}

void Release(void* p)
{
    g_live -= p != nullptr;
    std::free(p);
}
} // namespace

long alloc::LiveBlocks()
{
    return g_live.load();
}
long alloc::TotalAllocations()
{
    return g_total.load();
}
void alloc::FailAfter(long n)
{
    g_failAfter.store(n);
}
void alloc::NeverFail()
{
    g_failAfter.store(-1);
}

void* operator new(size_t size)
{
    if (void* p = Allocate(size))
        return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size)
{
    return operator new(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void operator delete(void* p) noexcept
{
    Release(p);
}
void operator delete[](void* p) noexcept
{
    Release(p);
}
void operator delete(void* p, size_t) noexcept
{
    Release(p);
}
void operator delete[](void* p, size_t) noexcept
{
    Release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept
{
    Release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    Release(p);
}
