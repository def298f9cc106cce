#include "app/COxelD3DApplication.h"
#include "editor/COxelD3DEditMenuWnd.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelMapDataFile.h"
#include "editor/HeightStep.h"
#include "io/MapFileDisk.h"
#include "io/RecoveryFolder.h"
#include "support/DialogAnswer.h"
#include "support/EditorSession.h"
#include "support/MessageBoxAnswer.h"
#include "support/ProgramFiles.h"
#include "support/ScratchFolder.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <mmsystem.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

const char kSaveTitle[] = "名前をつけて保存";
const char kOpenTitle[] = "ファイルオープン";

enum class Action { kNewMap, kOpen, kCloseWindow, kEndSession };
enum class Answer { kYesWithFile, kYesWithoutFileThenCancel, kYesButSaveFails, kNo, kCancel };

class DiscardPromptTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.ok());
        DeleteFileA(SettingsFilePath().c_str());
        // A 64 x 64 map on disk to open.
        session.editor().NewMap(64, 64);
        ASSERT_TRUE(session.editor().m_mapFile->Save(other.c_str()));
        session.editor().NewMap(32, 32);
    }
    void TearDown() override { DeleteFileA(SettingsFilePath().c_str()); }

    COxelD3DEditMenuWnd& menu() const { return *static_cast<COxelD3DEditMenuWnd*>(session.window(kEditMenuWindow)); }
    void Raise() const
    {
        COxelD3DTerrainChipManager& terrain = session.terrain();
        session.editor().Perform(std::make_unique<HeightStep>(3, 4, terrain.GetHeight(3, 4) + 0.5));
    }
    // Does the action; the open dialog, if it shows, picks the 64 x 64 map,
    // and the save dialog is cancelled. True when the action went on: the map
    // was replaced, the session may end, or the window closed.
    bool Run(Action action) const
    {
        DialogAnswer saveDialog(kSaveTitle, std::string());
        DialogAnswer openDialog(kOpenTitle, other);
        bool wentOn = false;
        switch (action) {
        case Action::kNewMap:
            SendMessageA(session.handle(kEditMenuWindow), WM_COMMAND, 200, 0);
            wentOn = session.editor().m_mapWidth == 16;
            break;
        case Action::kOpen:
            SendMessageA(session.handle(kEditMenuWindow), WM_COMMAND, 210, 0);
            wentOn = session.editor().m_mapWidth == 64;
            break;
        case Action::kCloseWindow:
            // Each close that goes on ends a window: the next one is another.
            for (int index : {kTextureMappingWindow, kHeightWindow, kTextureWindow}) {
                HWND window = session.handle(index);
                if (IsWindow(window)) {
                    SendMessageA(window, WM_CLOSE, 0, 0);
                    wentOn = !IsWindow(window);
                    break;
                }
            }
            // The run would end here; the test goes on, and so must its message boxes.
            MSG quit;
            PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
            break;
        case Action::kEndSession:
            wentOn = SendMessageA(session.application().m_hWnd, WM_QUERYENDSESSION, 0, 0) != 0;
            break;
        }
        // Innermost first, as the answers nest.
        openDialog.Stop();
        saveDialog.Stop();
        return wentOn;
    }

    EditorSession session;
    ScratchFolder scratch{"quelmora-discard-prompt-test"};
    const std::string named = scratch.path() + "named.omd";
    const std::string other = scratch.path() + "other.omd";
};

}  // namespace

// Each action that discards the map, with each answer to the question: the
// action goes on only after a save that worked or a "No", and the map file is
// written only by a "Yes" that could save it.
TEST_F(DiscardPromptTest, EachDiscardingActionAsksAndGoesOnOnlyAfterASaveOrANo)
{
    const Action actions[] = {Action::kNewMap, Action::kOpen, Action::kEndSession, Action::kCloseWindow};
    const struct {
        Answer answer;
        int button;
        bool goesOn;
        bool written;
    } answers[] = {
        {Answer::kYesWithoutFileThenCancel, IDYES, false, false},
        {Answer::kYesButSaveFails, IDYES, false, false},
        {Answer::kCancel, IDCANCEL, false, false},
        {Answer::kNo, IDNO, true, false},
        {Answer::kYesWithFile, IDYES, true, true},
    };
    for (Action action : actions) {
        for (const auto& answer : answers) {
            SCOPED_TRACE(static_cast<int>(action) * 10 + static_cast<int>(answer.answer));
            session.editor().NewMap(32, 32);
            DeleteFileA(named.c_str());
            switch (answer.answer) {
            case Answer::kYesWithFile:
                strcpy(menu().m_fileName, named.c_str());
                break;
            case Answer::kYesButSaveFails:
                strcpy(menu().m_fileName, (scratch.path() + "missing\\folder\\map.omd").c_str());
                break;
            default:
                menu().m_fileName[0] = '\0';
                break;
            }
            Raise();
            const double raised = session.terrain().GetHeight(3, 4);

            MessageBoxAnswer boxes(answer.button);
            const bool wentOn = Run(action);
            EXPECT_EQ(answer.goesOn, wentOn);
            // The question, and for a failed save the message that says so.
            EXPECT_EQ(answer.answer == Answer::kYesButSaveFails ? 2 : 1, boxes.count);
            EXPECT_EQ(answer.answer == Answer::kYesButSaveFails ? "Error" : "Quelmora", boxes.caption);
            EXPECT_EQ(answer.written, FileExists(named));
            if (answer.answer == Answer::kYesWithFile) {
                EXPECT_NE(std::string::npos, boxes.text.find(named)) << boxes.text;
            }
            if (!wentOn) {
                // Nothing was lost: the map and its changes are still there.
                EXPECT_EQ(32, session.editor().m_mapWidth);
                EXPECT_EQ(raised, session.terrain().GetHeight(3, 4));
                EXPECT_TRUE(session.editor().IsModified());
            }
        }
    }
}

// An unmodified map is never asked about, and undoing back to the map last
// saved makes it unmodified again.
TEST_F(DiscardPromptTest, AnUnmodifiedMapIsNeverAskedAbout)
{
    MessageBoxAnswer boxes(IDCANCEL);
    EXPECT_TRUE(Run(Action::kEndSession));
    EXPECT_TRUE(Run(Action::kNewMap));

    strcpy(menu().m_fileName, named.c_str());
    Raise();
    SendMessageA(session.handle(kEditMenuWindow), WM_COMMAND, 220, 0);
    EXPECT_FALSE(session.editor().IsModified());
    Raise();
    EXPECT_TRUE(session.editor().IsModified());
    SendMessageA(session.handle(kEditMenuWindow), WM_COMMAND, COxelD3DEditMenuWnd::kUndoCommand, 0);
    EXPECT_FALSE(session.editor().IsModified());
    SendMessageA(session.handle(kEditMenuWindow), WM_COMMAND, COxelD3DEditMenuWnd::kRedoCommand, 0);
    EXPECT_TRUE(session.editor().IsModified());
    SendMessageA(session.handle(kEditMenuWindow), WM_COMMAND, COxelD3DEditMenuWnd::kUndoCommand, 0);

    EXPECT_TRUE(Run(Action::kOpen));
    EXPECT_FALSE(session.editor().IsModified());
    EXPECT_TRUE(Run(Action::kCloseWindow));
    EXPECT_EQ(0, boxes.count);
}

// "いいえ" lets the changes go only with the map: a map that then cannot be
// opened leaves them in place, and their recovery copy with them.
TEST_F(DiscardPromptTest, ANoBeforeAMapThatCannotBeOpenedKeepsTheRecoveryCopy)
{
    COxelD3DTerrainEditor& editor = session.editor();
    // Named after this process, as the copies of each running program are.
    char copy[32];
    snprintf(copy, sizeof copy, "%08lX-*.omd", GetCurrentProcessId());
    Raise();
    COxelD3DTerrainEditor::KeepRecoveryCopy(timeGetTime() + RecoveryCopy::kLongestWait);
    editor.m_recovery.WaitForWrite();
    ASSERT_FALSE(FileNames(RecoveryFolderPath(), copy).empty());

    const std::string damaged = scratch.path() + "damaged.omd";
    ASSERT_TRUE(WriteFileSafely(damaged.c_str(), "OMD v0.01", 9));
    {
        MessageBoxAnswer no(IDNO);
        EXPECT_FALSE(menu().OpenMapFile(damaged.c_str()));
        EXPECT_EQ(2, no.count);
    }
    EXPECT_TRUE(editor.IsModified());
    EXPECT_FALSE(FileNames(RecoveryFolderPath(), copy).empty());
}
