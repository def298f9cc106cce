#pragma once

#include <windows.h>

// While it lives, counts the allocations this thread makes with
// new (std::nothrow) and makes the one numbered `failing` (0 for the first)
// return null, as when memory runs out. Linking it into a test executable
// replaces the nothrow forms of operator new there; one may live at a time.
class NothrowAllocations {
public:
    explicit NothrowAllocations(int failing = -1);
    ~NothrowAllocations();
    NothrowAllocations(const NothrowAllocations&) = delete;
    NothrowAllocations& operator=(const NothrowAllocations&) = delete;

    // Allocations asked for so far, the failed one included.
    int count() const { return m_count; }
    bool failed() const { return m_count > m_failing && m_failing >= 0; }

    // Called by the replaced operator new: whether this allocation fails.
    bool Fails();

private:
    int m_failing;
    int m_count;
    DWORD m_thread;
};
