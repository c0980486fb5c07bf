// The program allocates only through the nothrow forms and checks every result; the plain
// forms, which callers may assume never give null, end the process instead.
#include "base/heap.h"

#include <windows.h>
#include <new>

namespace {

void* Allocate(size_t size)
{
    return HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
}

void* AllocateOrEnd(size_t size)
{
    void* block = Allocate(size);
    if (!block)
        OutOfMemory();
    return block;
}

}  // namespace

void* operator new(size_t size) { return AllocateOrEnd(size); }
void* operator new[](size_t size) { return AllocateOrEnd(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* block) noexcept
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}
void operator delete[](void* block) noexcept { operator delete(block); }
void operator delete(void* block, size_t) noexcept { operator delete(block); }
void operator delete[](void* block, size_t) noexcept { operator delete(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { operator delete(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { operator delete(block); }
