#pragma once

// Releases a COM interface held as a raw member and forgets it; safe to call twice.
template <class Interface>
void SafeRelease(Interface*& pointer)
{
    if (pointer) {
        pointer->Release();
        pointer = nullptr;
    }
}
