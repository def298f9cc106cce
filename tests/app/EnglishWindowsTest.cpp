#include "app/ProgramLanguage.h"
#include "editor/COxelD3DTerrainEditor.h"

#include "support/EditorSession.h"
#include "support/ProgramFiles.h"
#include "support/RunningProgram.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

// The program on a Windows that is not Japanese. CTest runs this suite, and
// the programs it starts, with Wine's locale set to English (US); the
// executables' manifest keeps their ANSI code page 932 there.

namespace {

// The menu bar's items, as the edit menu window shows them.
std::vector<std::string> MenuBar(HWND window)
{
    std::vector<std::string> items;
    HMENU menu = GetMenu(window);
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[64] = "";
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        items.push_back(text);
    }
    return items;
}

// The map's name in the preview's title, after the frame rate, once it shows.
std::string ShownMapName(const RunningProgram& program)
{
    const std::string title = program.WaitForRateTitle();
    return title.substr(title.find(']') + 1);
}

std::string DialogItemText(HWND dialog, int id)
{
    char text[128] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// A click of the height window's left button at its top-left square, one
// raise, then the preview closed: the question about the unsaved change,
// answered "No", and the program's clean end.
std::string QuestionOnClosingAfterAnEdit(RunningProgram& program, HWND preview)
{
    HWND heights = program.FindWindowOfClass("HeightEditor");
    EXPECT_NE(nullptr, heights);
    PostMessageA(heights, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(heights, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PostMessageA(preview, WM_CLOSE, 0, 0);
    std::string question;
    EXPECT_TRUE(program.AnswerMessageBox("Quelmora", IDNO, &question));
    DWORD exitCode = 1;
    EXPECT_TRUE(program.WaitForExit(20000, &exitCode));
    EXPECT_EQ(0u, exitCode);
    DeleteFileA(SettingsFilePath().c_str());
    return question;
}

// Writes Quelmora.ini beside the program with the default layout and, when
// given, "[Settings] Language=`language`".
void UseSettings(const char* language)
{
    ASSERT_TRUE(CopyFileA(QUELMORA_DEFAULT_SETTINGS, SettingsFilePath().c_str(), FALSE));
    if (language) {
        ASSERT_TRUE(WritePrivateProfileStringA("Settings", "Language", language, SettingsFilePath().c_str()));
    }
}

}  // namespace

class EnglishWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE) {
            // Under Wine, CTest sets the locale; a Japanese Windows cannot run the suite.
            ASSERT_EQ(nullptr, GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
                << "run with QUELMORA_WINE_LANG=en_US.UTF-8, as CTest does";
            GTEST_SKIP() << "needs a Windows whose user interface is not Japanese";
        }
    }
};

TEST_F(EnglishWindows, TheUnsavedChangesQuestionAndTheSceneDialogReadInEnglish)
{
    UseSettings(nullptr);
    RunningProgram program;
    ASSERT_TRUE(program.started());
    HWND preview = program.WaitForPreview(30000);
    ASSERT_NE(nullptr, preview);
    EXPECT_EQ(" Untitled map", ShownMapName(program));

    HWND scene = program.FindWindowOfClass("#32770", "Scene");
    ASSERT_NE(nullptr, scene);
    EXPECT_EQ("Add Plane", DialogItemText(scene, 1000));
    EXPECT_EQ("Show", DialogItemText(scene, 1004));

    EXPECT_EQ("The map has unsaved changes.\nDo you want to save them?",
              QuestionOnClosingAfterAnEdit(program, preview));
}

TEST_F(EnglishWindows, TheCommandLineSpeaksEnglish)
{
    ScratchFolder folder("EnglishCommandLine");
    const std::string log = folder.path() + "console.txt";
    const ProgramRun help = RunProgramToEnd("--help", log);
    EXPECT_EQ(0u, help.exitCode);
    EXPECT_EQ(0u, help.console.find("Usage:\r\n")) << help.console;
    const ProgramRun wrong = RunProgramToEnd("--bogus", log);
    EXPECT_EQ(2u, wrong.exitCode);
    EXPECT_EQ("Unknown option: --bogus\r\nquelmora.exe --help shows how to use it.\r\n", wrong.console);
}

// "Language=ja" on an English Windows: the Japanese interface as on a
// Japanese one, and a map whose name is Japanese opens.
TEST_F(EnglishWindows, JapaneseChosenInTheSettingsReadsJapaneseAndOpensJapaneseNames)
{
    ASSERT_EQ(932u, GetACP());
    ScratchFolder folder("JapaneseNames");
    const std::string map = folder.path() + "島の地図.omd";
    ASSERT_TRUE(CopyFileA("island.omd", map.c_str(), FALSE));
    UseSettings("ja");
    RunningProgram program(std::vector<std::string>{map});
    ASSERT_TRUE(program.started());
    HWND preview = program.WaitForPreview(30000);
    ASSERT_NE(nullptr, preview);
    EXPECT_EQ(" 島の地図.omd", ShownMapName(program));

    HWND scene = program.FindWindowOfClass("#32770", "Scene");
    ASSERT_NE(nullptr, scene);
    EXPECT_EQ("平面を追加", DialogItemText(scene, 1000));

    const std::string question = QuestionOnClosingAfterAnEdit(program, preview);
    EXPECT_EQ(0u, question.find("マップ「")) << question;
    EXPECT_NE(std::string::npos,
              question.find("島の地図.omd」には保存されていない変更があります。\n変更を保存しますか？"))
        << question;
}

// Menus belong to their process: these are the editor's own, made here as the
// program makes them.
TEST_F(EnglishWindows, TheMenusReadInTheLanguageChosen)
{
    const LANGID before = ProgramLanguage();
    const struct {
        const char* setting;
        std::vector<std::string> bar;
    } cases[] = {
        {"auto", {"&File", "&Edit", "&View", "&Tools", "&Help"}},
        {"ja", {"ファイル(&F)", "編集(&E)", "表示(&V)", "ツール(&T)", "ヘルプ(&H)"}},
    };
    for (const auto& c : cases) {
        const std::vector<TextTable> tables = TextTables(GetModuleHandleA(nullptr));
        SetProgramLanguage(ChooseLanguage(c.setting, GetUserDefaultUILanguage(), tables));
        EditorSession session;
        ASSERT_TRUE(session.ok());
        EXPECT_EQ(c.bar, MenuBar(session.handle(kEditMenuWindow))) << c.setting;
    }
    SetProgramLanguage(before);
}
