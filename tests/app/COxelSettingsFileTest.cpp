#include "app/COxelSettingsFile.h"

#include "support/ProgramFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        COxelSettingsFile::DestroyInstance();
        DeleteFileA(SettingsFilePath().c_str());
    }
    void TearDown() override
    {
        COxelSettingsFile::DestroyInstance();
        DeleteFileA(SettingsFilePath().c_str());
    }

    // Reads the file back in a fresh instance, as the next run of the program would.
    COxelSettingsFile* Reload()
    {
        COxelSettingsFile::DestroyInstance();
        return COxelSettingsFile::GetInstance();
    }
};

}  // namespace

TEST_F(SettingsFileTest, WithoutAFileEveryValueIsZero)
{
    COxelSettingsFile* settings = COxelSettingsFile::GetInstance();
    ASSERT_NE(nullptr, settings);
    for (int i = 0; i < COxelSettingsFile::kValueCount; ++i) {
        EXPECT_EQ(0, settings->m_values[i]) << "value " << i;
    }
}

TEST_F(SettingsFileTest, AFileWithOnlyTheMapEditWidthFillsValue18)
{
    WritePrivateProfileStringA("MapEditWindowPosition", "Width", "300", SettingsFilePath().c_str());
    COxelSettingsFile* settings = Reload();
    ASSERT_NE(nullptr, settings);
    for (int i = 0; i < COxelSettingsFile::kValueCount; ++i) {
        EXPECT_EQ(i == 18 ? 300 : 0, settings->m_values[i]) << "value " << i;
    }
}

TEST_F(SettingsFileTest, SaveWritesAllTwentyKeysAndTheyReadBackTheSame)
{
    COxelSettingsFile* settings = COxelSettingsFile::GetInstance();
    for (int i = 0; i < COxelSettingsFile::kValueCount; ++i) {
        settings->m_values[i] = (i % 3 == 0) ? 0 : (i % 2 ? -17 * i : 40 * i);
    }
    settings->Save();

    const std::string path = SettingsFilePath();
    for (int i = 0; i < COxelSettingsFile::kValueCount; ++i) {
        char text[32] = {};
        GetPrivateProfileStringA(COxelSettingsFile::Section(i), COxelSettingsFile::Key(i), "missing", text,
                                 sizeof text, path.c_str());
        EXPECT_EQ(std::to_string(settings->m_values[i]), text) << "value " << i;
    }

    int expected[COxelSettingsFile::kValueCount];
    for (int i = 0; i < COxelSettingsFile::kValueCount; ++i) {
        expected[i] = settings->m_values[i];
    }
    settings = Reload();
    for (int i = 0; i < COxelSettingsFile::kValueCount; ++i) {
        EXPECT_EQ(expected[i], settings->m_values[i]) << "value " << i;
    }
}

TEST_F(SettingsFileTest, SectionsGroupTheKeysOfEachWindow)
{
    COxelSettingsFile* settings = COxelSettingsFile::GetInstance();
    settings->m_values[0] = 120;
    settings->m_values[1] = 80;
    settings->m_values[12] = 800;
    settings->m_values[16] = 16;
    settings->m_values[17] = 16;
    settings->Save();

    char section[512] = {};
    const DWORD length =
        GetPrivateProfileSectionA("TextureMappingWindowPosition", section, sizeof section, SettingsFilePath().c_str());
    std::string keys;
    for (const char* entry = section; entry < section + length && *entry; entry += strlen(entry) + 1) {
        keys += std::string(entry) + ";";
    }
    EXPECT_EQ("WindowPosX=800;WindowPosY=0;CellWidth=16;CellHeight=16;", keys);
    EXPECT_NE(std::string::npos, ReadWholeFile(SettingsFilePath()).find("[MainWindowPosition]\r\nWindowPosX=120\r\nWindowPosY=80"));
}

TEST_F(SettingsFileTest, TheFileLiesBesideTheExecutableWhateverTheCurrentDirectory)
{
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    char temporary[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temporary);
    ASSERT_TRUE(SetCurrentDirectoryA(temporary));
    DeleteFileA("Quelmora.ini");

    COxelSettingsFile* settings = COxelSettingsFile::GetInstance();
    settings->m_values[5] = 77;
    settings->Save();
    const bool besideExecutable = FileExists(SettingsFilePath());
    const bool inCurrentDirectory = FileExists("Quelmora.ini");
    settings = Reload();
    const int readBack = settings->m_values[5];

    SetCurrentDirectoryA(previous);
    EXPECT_TRUE(besideExecutable);
    EXPECT_FALSE(inCurrentDirectory);
    EXPECT_EQ(77, readBack);
}

TEST(COxelSettingsFile, PathLiesInTheModulesFolderOrIsRefusedWhenItWouldNotFit)
{
    // 247 characters: with "Quelmora.ini" and its terminator the path fills MAX_PATH exactly.
    const std::string longFolder = "C:\\" + std::string(243, 'd') + "\\";
    struct Row {
        std::string module;
        std::string path;  // empty: refused
    };
    const Row rows[] = {
        {"C:\\Program Files\\Quelmora\\quelmora.exe", "C:\\Program Files\\Quelmora\\Quelmora.ini"},
        {"\\\\server\\share\\quelmora.exe", "\\\\server\\share\\Quelmora.ini"},
        {"C:/games/quelmora.exe", "C:/games/Quelmora.ini"},
        {"C:quelmora.exe", "C:Quelmora.ini"},
        {"quelmora.exe", "Quelmora.ini"},
        // The second byte of ソ is 0x5C, a backslash on its own.
        {"C:\\ソフト\\ソ.exe", "C:\\ソフト\\Quelmora.ini"},
        {longFolder + "q.exe", longFolder + "Quelmora.ini"},
        {"C:\\d" + longFolder.substr(3) + "q.exe", ""},
        // A folder of 256 characters: more than the 255 a drive, folder, name split allows.
        {"C:\\" + std::string(254, 'd') + "\\q", ""},
    };
    for (const Row& row : rows) {
        char path[MAX_PATH];
        memset(path, 'x', sizeof path);
        EXPECT_EQ(!row.path.empty(), COxelSettingsFile::PathBeside(row.module.c_str(), path)) << row.module;
        EXPECT_EQ(row.path, std::string(path)) << row.module;
    }
}
