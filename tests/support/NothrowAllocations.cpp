#include "support/NothrowAllocations.h"

#include <cstdlib>
#include <new>

namespace {

NothrowAllocations* g_allocations = nullptr;

}  // namespace

NothrowAllocations::NothrowAllocations(int failing) : m_failing(failing), m_count(0), m_thread(GetCurrentThreadId())
{
    g_allocations = this;
}

NothrowAllocations::~NothrowAllocations()
{
    g_allocations = nullptr;
}

bool NothrowAllocations::Fails()
{
    if (GetCurrentThreadId() != m_thread) {
        return false;
    }
    return m_count++ == m_failing;
}

// The library's own forms allocate with malloc too, so its operator delete frees these.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (g_allocations && g_allocations->Fails()) {
        return nullptr;
    }
    return std::malloc(size ? size : 1);
}

void* operator new[](std::size_t size, const std::nothrow_t& nothrow) noexcept
{
    return operator new(size, nothrow);
}
