#include "support/MethodTable.h"

#include <windows.h>

void* SwapMethod(void** table, int slot, void* hook)
{
    DWORD previous = 0;
    VirtualProtect(&table[slot], sizeof(void*), PAGE_EXECUTE_READWRITE, &previous);
    void* original = table[slot];
    table[slot] = hook;
    VirtualProtect(&table[slot], sizeof(void*), previous, &previous);
    return original;
}
