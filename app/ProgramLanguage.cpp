#include "app/ProgramLanguage.h"

#include "app/COxelSettingsFile.h"
#include "app/ProgramText.h"

namespace {

const char kSection[] = "Settings";
const char kKey[] = "Language";
const char kEnglishCode[] = "en";

LANGID g_language = 0;

BOOL CALLBACK AddTable(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found)
{
    reinterpret_cast<std::vector<LANGID>*>(found)->push_back(language);
    return TRUE;
}

std::string Narrow(const std::wstring& text)
{
    std::string narrow;
    for (wchar_t c : text) {
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return narrow;
}

}  // namespace

std::vector<TextTable> TextTables(HMODULE module)
{
    std::vector<LANGID> languages;
    EnumResourceLanguagesA(module, MAKEINTRESOURCEA(6), MAKEINTRESOURCEA(IDS_LANGUAGE_CODE / 16 + 1), AddTable,
                           reinterpret_cast<LONG_PTR>(&languages));  // RT_STRING
    std::vector<TextTable> tables;
    for (LANGID language : languages) {
        tables.push_back(TextTable{language, Narrow(TextIn(IDS_LANGUAGE_CODE, language))});
    }
    return tables;
}

LANGID ChooseLanguage(const std::string& setting, LANGID userInterface, const std::vector<TextTable>& tables)
{
    for (const TextTable& table : tables) {
        if (lstrcmpiA(table.code.c_str(), setting.c_str()) == 0) {
            return table.language;
        }
    }
    for (const TextTable& table : tables) {
        if (PRIMARYLANGID(table.language) == PRIMARYLANGID(userInterface)) {
            return table.language;
        }
    }
    for (const TextTable& table : tables) {
        if (table.code == kEnglishCode) {
            return table.language;
        }
    }
    return tables.empty() ? 0 : tables.front().language;
}

void ChooseProgramLanguage()
{
    char setting[16] = "";
    COxelSettingsFile::GetInstance()->ReadText(kSection, kKey, setting, sizeof setting);
    SetProgramLanguage(ChooseLanguage(setting, GetUserDefaultUILanguage(), TextTables(GetModuleHandleA(nullptr))));
}

LANGID ProgramLanguage()
{
    if (!g_language) {
        g_language = ChooseLanguage("auto", GetUserDefaultUILanguage(), TextTables(GetModuleHandleA(nullptr)));
    }
    return g_language;
}

void SetProgramLanguage(LANGID language)
{
    g_language = language;
}
