#pragma once

// Holds one reference to a COM interface and releases it when it goes, so a
// codec that returns early on any failed step leaks nothing.
template <class Interface>
class ComRef {
public:
    ComRef() : m_pointer(nullptr) {}
    ~ComRef()
    {
        if (m_pointer) {
            m_pointer->Release();
        }
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    Interface* get() const { return m_pointer; }
    Interface* operator->() const { return m_pointer; }
    // For the functions that hand out a new reference; the slot must be empty.
    Interface** out() { return &m_pointer; }

private:
    Interface* m_pointer;
};
