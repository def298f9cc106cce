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

void* SwapImport(const char* dll, const char* function, void* hook)
{
    auto* base = reinterpret_cast<unsigned char*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) {
        return nullptr;
    }
    for (auto* library = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         library->Name != 0; ++library) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + library->Name), dll) != 0) {
            continue;
        }
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            const auto* named = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<const char*>(named->Name), function) == 0) {
                return SwapMethod(reinterpret_cast<void**>(&slots->u1.Function), 0, hook);
            }
        }
    }
    return nullptr;
}
