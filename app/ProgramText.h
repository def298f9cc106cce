#pragma once

#include "res/TextIds.h"

#include <windows.h>

#include <string>

// The program's texts, menus and dialogs in the language ProgramLanguage()
// names, from the program's own resources.

// Text `id` (an IDS_ number) in the ANSI code page, as the ANSI calls take it.
// The pointer stays valid for the program's life; an unknown id gives "".
const char* Text(UINT id);
// Text `id` as a printf format, filled in.
std::string FormatText(UINT id, ...);
// Text `id` as the table of `language` holds it, in UTF-16; empty when that
// table lacks it.
std::wstring TextIn(UINT id, LANGID language);

// The menu resource `name`, loaded; the caller's window owns it.
HMENU LoadProgramMenu(const char* name);
// The dialog template `resource`; null when there is none.
const DLGTEMPLATE* ProgramDialog(int resource, DWORD* size = nullptr);
