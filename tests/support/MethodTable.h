#pragma once

// Puts `hook` into slot `slot` of a COM method table and returns what was
// there. The table is shared by every object of the class in the process.
void* SwapMethod(void** table, int slot, void* hook);

// Puts `hook` into this executable's import table for `function` of `dll`
// (as "KERNEL32.dll" names it, in any case) and returns what was there, or
// nullptr when the executable does not import it. Every call the program's
// own code makes to it then goes to `hook`.
void* SwapImport(const char* dll, const char* function, void* hook);
