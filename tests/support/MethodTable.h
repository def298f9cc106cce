#pragma once

// Puts `hook` into slot `slot` of a COM method table and returns what was
// there. The table is shared by every object of the class in the process.
void* SwapMethod(void** table, int slot, void* hook);
