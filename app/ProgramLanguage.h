#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The language the program speaks: one of the text tables in its resources
// (menus, dialogs and a string table under one language each), chosen at
// start by "[Settings] Language=" in Quelmora.ini or, with "auto", by the
// language of Windows' user interface.

// A table of texts the resources hold: its language, and the code a setting
// names it by (its own text IDS_LANGUAGE_CODE: "ja", "en").
struct TextTable {
    LANGID language;
    std::string code;
};

// The tables in `module`, in the order its resources list them.
std::vector<TextTable> TextTables(HMODULE module);

// The table for `setting` (a table's code in any case, or "auto"): the one it names;
// for "auto", or a code no table has, the one in the user interface's
// language, else English. 0 when there are no tables.
LANGID ChooseLanguage(const std::string& setting, LANGID userInterface, const std::vector<TextTable>& tables);

// Chooses the program's language from Quelmora.ini and the system, once at
// start, before any text is shown.
void ChooseProgramLanguage();
// The language texts, menus and dialogs come in. Until one is chosen: the
// one "auto" gives.
LANGID ProgramLanguage();
void SetProgramLanguage(LANGID language);
