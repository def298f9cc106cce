#include "editor/FileDialog.h"

#include "io/MapFileDisk.h"
#include "support/DialogAnswer.h"
#include "support/MessageBoxAnswer.h"
#include "support/ProgramFiles.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

void MakeFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
}

}  // namespace

// The real dialogs, answered with a name as a user types it: one that the
// program's code page spells exactly comes back in it; one it cannot spell is
// refused with a message naming it, and the caller gets no name at all, never
// its look-alike ("naïve.png" would come back as the existing "naive.png",
// "café.png" as "cafe.png", "a¥b.png" as "a\b.png" in another folder).
TEST(FileDialog, ANameIsReturnedOnlyInItsExactForm)
{
    ASSERT_EQ(932u, GetACP()) << "the names below are Shift-JIS";
    ScratchFolder scratch("quelmora-file-dialog-test");
    const std::string folder = scratch.path();
    const std::wstring wideFolder = WideText(folder);
    ASSERT_TRUE(WriteFileSafely((folder + "cafe.png").c_str(), "old", 3));
    ASSERT_TRUE(WriteFileSafely((folder + "naive.png").c_str(), "old", 3));
    // What the open dialog offers must exist.
    MakeFile(wideFolder + L"na\u00efve.png");
    MakeFile(wideFolder + L"表ソ.png");

    const char title[] = "名前のテスト";
    const struct {
        bool save;
        std::wstring typed;
        std::string chosen;  // the path the caller gets; empty when refused
        const char* named;   // what the refusal shows of the name
    } cases[] = {
        {false, wideFolder + L"na\u00efve.png", "", "na?ve.png"},
        {true, wideFolder + L"caf\u00e9.png", "", "caf?.png"},
        {true, wideFolder + L"a\u00a5b.png", "", "a?b.png"},
        {true, wideFolder + L"\uD55C.png", "", "?.png"},
        {false, wideFolder + L"表ソ.png", folder + "表ソ.png", ""},
        {true, wideFolder + L"新しい地図.png", folder + "新しい地図.png", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.save ? "save " : "open ") + (c.chosen.empty() ? std::string(c.named) : c.chosen));
        DialogAnswer dialog(title, c.typed);
        MessageBoxAnswer boxes;
        char path[MAX_PATH] = "unchanged";
        const bool chosen = c.save ? AskForFileToSave(nullptr, kPngFileType, title, path)
                                   : AskForFileToOpen(nullptr, kPngFileType, title, path);
        EXPECT_TRUE(dialog.Stop());
        EXPECT_EQ(!c.chosen.empty(), chosen);
        if (chosen) {
            EXPECT_EQ(c.chosen, path);
            EXPECT_EQ(0, boxes.count);
        } else {
            EXPECT_EQ(1, boxes.count);
            EXPECT_NE(std::string::npos, boxes.text.find(std::string(c.named) + "\n")) << boxes.text;
            EXPECT_NE(std::string::npos, boxes.text.find("で表せない文字")) << boxes.text;
        }
    }
    EXPECT_EQ(3, FileSize(folder + "cafe.png"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((wideFolder + L"caf\u00e9.png").c_str()));
    DeleteFileW((wideFolder + L"na\u00efve.png").c_str());
}
