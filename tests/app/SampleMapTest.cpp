#include "app/SampleMap.h"

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

void MakeFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    CloseHandle(file);
}

}  // namespace

// The sample beside the program wins over one in the current folder; a
// folder that is not known, or a folder named like the sample, is passed by.
TEST(SampleMapPath, IsLookedForBesideTheProgramThenInTheCurrentFolder)
{
    ScratchFolder program("quelmora-sample-program");
    ScratchFolder current("quelmora-sample-current");
    ScratchFolder empty("quelmora-sample-empty");
    ASSERT_NO_FATAL_FAILURE(MakeFile(program.path() + "island.omd"));
    ASSERT_NO_FATAL_FAILURE(MakeFile(current.path() + "island.omd"));
    ASSERT_TRUE(CreateDirectoryA((empty.path() + "island.omd").c_str(), nullptr));
    const struct {
        std::string programFolder;
        std::string currentFolder;
        std::string expected;
    } cases[] = {
        {program.path(), current.path(), program.path() + "island.omd"},
        {empty.path(), current.path(), current.path() + "island.omd"},
        {"", current.path(), current.path() + "island.omd"},
        {program.path(), "", program.path() + "island.omd"},
        {empty.path(), empty.path(), ""},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("\"" + c.programFolder + "\", \"" + c.currentFolder + "\"");
        EXPECT_EQ(c.expected, SampleMapPathIn(c.programFolder, c.currentFolder));
    }
}

// The message names the file and each place looked in once, in the order looked.
TEST(SampleMapPath, TheMissingSampleMessageNamesTheFileAndEachPlaceOnce)
{
    const std::string program = "C:\\Quelmora\\";
    const std::string current = "D:\\maps\\";
    const std::string both = MissingSampleMapMessage(program, current);
    EXPECT_NE(std::string::npos, both.find("「island.omd」")) << both;
    const size_t first = both.find(program + "island.omd");
    const size_t second = both.find(current + "island.omd");
    ASSERT_NE(std::string::npos, first) << both;
    ASSERT_NE(std::string::npos, second) << both;
    EXPECT_LT(first, second);

    const std::string same = MissingSampleMapMessage(program, "c:\\quelmora\\");
    EXPECT_NE(std::string::npos, same.find(program + "island.omd")) << same;
    EXPECT_EQ(std::string::npos, same.find("c:\\quelmora\\island.omd")) << same;

    const std::string unknownProgram = MissingSampleMapMessage("", current);
    EXPECT_NE(std::string::npos, unknownProgram.find(current + "island.omd")) << unknownProgram;
}
