#include "app/ProgramLanguage.h"
#include "app/ProgramText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const LANGID kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
const LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

BOOL CALLBACK AddName(HMODULE, LPCSTR, LPSTR name, LONG_PTR names)
{
    if (IS_INTRESOURCE(name)) {
        reinterpret_cast<std::vector<UINT>*>(names)->push_back(static_cast<UINT>(reinterpret_cast<UINT_PTR>(name)));
    }
    return TRUE;
}

// The numbered resources of `type` in the executable, in any language.
std::vector<UINT> ResourceNumbers(int type)
{
    std::vector<UINT> names;
    EnumResourceNamesA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(type), AddName, reinterpret_cast<LONG_PTR>(&names));
    return names;
}

// The ids of the texts `language`'s table holds.
std::set<UINT> TextIds(LANGID language)
{
    std::set<UINT> ids;
    for (UINT block : ResourceNumbers(6)) {  // RT_STRING
        for (UINT id = (block - 1) * 16; id < block * 16; ++id) {
            if (!TextIn(id, language).empty()) {
                ids.insert(id);
            }
        }
    }
    return ids;
}

// What a text asks of printf: its conversions in order ("%s", "%.2f", ...),
// then how many "|" split it (a file filter's names and patterns).
std::vector<std::wstring> Arguments(const std::wstring& text)
{
    std::vector<std::wstring> found;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%') {
            continue;
        }
        const size_t end = text.find_first_of(L"%diouxXeEfgGcsp", i + 1);
        found.push_back(text.substr(i, end == std::wstring::npos ? std::wstring::npos : end - i + 1));
        i = end == std::wstring::npos ? text.size() : end;
    }
    found.push_back(std::to_wstring(std::count(text.begin(), text.end(), L'|')) + L" |");
    return found;
}

// A menu's shape and what a user presses in it: each item's id or
// submenu, and the key after its tab.
std::wstring Shape(HMENU menu)
{
    std::wstring shape;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = L"";
        MENUITEMINFOW item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = 256;
        GetMenuItemInfoW(menu, i, TRUE, &item);
        if (item.fType & MFT_SEPARATOR) {
            shape += L"-;";
            continue;
        }
        EXPECT_NE(L'\0', text[0]) << "item " << i;
        const wchar_t* tab = wcschr(text, L'\t');
        // A submenu's item is known by its place: its id is the submenu's handle.
        shape += (item.hSubMenu ? L"[" + Shape(item.hSubMenu) + L"]" : std::to_wstring(item.wID)) +
                 (tab ? tab : L"") + L";";
    }
    return shape;
}

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

BOOL CALLBACK AddControl(HWND control, LPARAM controls)
{
    char className[64] = "";
    GetClassNameA(control, className, sizeof className);
    auto* shape = reinterpret_cast<std::map<int, std::string>*>(controls);
    (*shape)[GetDlgCtrlID(control) == -1 ? -static_cast<int>(shape->size()) - 2 : GetDlgCtrlID(control)] += className;
    EXPECT_TRUE(GetWindowTextLengthA(control) > 0 || std::string(className) == "Edit" ||
                std::string(className) == "ComboBox" ||
                std::string(className) == "msctls_progress32")
        << className << " " << GetDlgCtrlID(control);
    return TRUE;
}

// A dialog's controls by id (the unnumbered ones in their order) and class.
std::map<int, std::string> Controls(UINT resource)
{
    std::map<int, std::string> controls;
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), ProgramDialog(resource), nullptr,
                                             PlainDialog, 0);
    EXPECT_NE(nullptr, dialog) << resource;
    EnumChildWindows(dialog, AddControl, reinterpret_cast<LPARAM>(&controls));
    DestroyWindow(dialog);
    return controls;
}

// Runs `check` with the program's texts, menus and dialogs in `language`.
template <typename Check>
void InLanguage(LANGID language, Check check)
{
    const LANGID before = ProgramLanguage();
    SetProgramLanguage(language);
    check();
    SetProgramLanguage(before);
}

}  // namespace

// A third language is one more table: these hold every table to the
// Japanese one, whatever the tables are.
TEST(ProgramText, EveryTableHasEveryTextWithItsArguments)
{
    const std::vector<TextTable> tables = TextTables(GetModuleHandleA(nullptr));
    std::set<std::string> codes;
    for (const TextTable& table : tables) {
        codes.insert(table.code);
    }
    ASSERT_EQ(tables.size(), codes.size());
    ASSERT_TRUE(codes.count("ja") && codes.count("en"));

    const std::set<UINT> japanese = TextIds(kJapanese);
    EXPECT_GT(japanese.size(), 90u);
    for (const TextTable& table : tables) {
        EXPECT_EQ(japanese, TextIds(table.language)) << table.code;
        for (UINT id : japanese) {
            EXPECT_EQ(Arguments(TextIn(id, kJapanese)), Arguments(TextIn(id, table.language)))
                << table.code << " " << id;
        }
    }
}

TEST(ProgramText, EveryTableHasEveryMenuAndDialogOfTheSameShape)
{
    const std::vector<TextTable> tables = TextTables(GetModuleHandleA(nullptr));
    const char* const menus[] = {"OXELAPP_EDITOR_TEXTUREMENU", "OXELAPP_EDITOR_TEXTUREMAPMENU",
                                 "OXELAPP_EDITOR_HEIGHTMENU"};
    const std::vector<UINT> dialogs = ResourceNumbers(5);  // RT_DIALOG
    EXPECT_EQ((std::vector<UINT>{101, 102, 103, 104, 105, 106}), dialogs);
    std::map<std::string, std::wstring> japaneseMenus;
    std::map<UINT, std::map<int, std::string>> japaneseDialogs;
    InLanguage(kJapanese, [&] {
        for (const char* name : menus) {
            HMENU menu = LoadProgramMenu(name);
            japaneseMenus[name] = Shape(menu);
            DestroyMenu(menu);
        }
        for (UINT dialog : dialogs) {
            japaneseDialogs[dialog] = Controls(dialog);
        }
    });
    for (const TextTable& table : tables) {
        InLanguage(table.language, [&] {
            for (const char* name : menus) {
                ASSERT_TRUE(FindResourceExA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(4), name, table.language));
                HMENU menu = LoadProgramMenu(name);
                EXPECT_EQ(japaneseMenus[name], Shape(menu)) << table.code << " " << name;
                DestroyMenu(menu);
            }
            for (UINT dialog : dialogs) {
                ASSERT_TRUE(FindResourceExA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(dialog),
                                            table.language));
                EXPECT_EQ(japaneseDialogs[dialog], Controls(dialog)) << table.code << " " << dialog;
            }
        });
    }
}

TEST(ProgramText, TheSettingOrTheUserInterfaceChoosesTheLanguage)
{
    const LANGID chinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
    const LANGID britishEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK);
    const std::vector<TextTable> tables = {{kJapanese, "ja"}, {kEnglish, "en"}};
    const struct {
        const char* setting;
        LANGID userInterface;
        LANGID chosen;
    } cases[] = {
        {"auto", kJapanese, kJapanese},  {"auto", kEnglish, kEnglish},    {"auto", britishEnglish, kEnglish},
        {"auto", chinese, kEnglish},     {"", kJapanese, kJapanese},      {"", chinese, kEnglish},
        {"ja", kEnglish, kJapanese},     {"ja", chinese, kJapanese},      {"en", kJapanese, kEnglish},
        {"fr", kJapanese, kJapanese},    {"fr", chinese, kEnglish},       {"JA", chinese, kJapanese},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.chosen, ChooseLanguage(c.setting, c.userInterface, tables))
            << c.setting << " " << std::hex << c.userInterface;
    }
    // Without English, a language no table speaks gets the first table.
    EXPECT_EQ(kJapanese, ChooseLanguage("auto", chinese, {{kJapanese, "ja"}}));
    EXPECT_EQ(0, ChooseLanguage("auto", kEnglish, {}));
}

TEST(ProgramText, TextsComeInTheCodePageAndFormatsAreFilledIn)
{
    InLanguage(kJapanese, [] {
        EXPECT_STREQ("名前のないマップ", Text(IDS_UNNAMED_MAP));
        EXPECT_EQ("平面は 64 個までです。\nこれ以上追加できません。", FormatText(IDS_TOO_MANY_PLANES, 64u));
    });
    InLanguage(kEnglish, [] {
        EXPECT_STREQ("Untitled map", Text(IDS_UNNAMED_MAP));
        EXPECT_EQ("X 3  Y 4  Height 2.5", FormatText(IDS_VERTEX_READOUT, 3, 4, "2.5"));
    });
    // The pointer outlives a change of language, as the literals it replaced did.
    const char* held = Text(IDS_LANGUAGE_CODE);
    InLanguage(kEnglish, [] { Text(IDS_LANGUAGE_CODE); });
    EXPECT_STREQ(PRIMARYLANGID(ProgramLanguage()) == LANG_JAPANESE ? "ja" : "en", held);
    EXPECT_STREQ("", Text(2999));
}
