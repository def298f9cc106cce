#include "app/ProgramImages.h"

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

// The program's own images, named bare in any case, are read from the
// program's folder when they are there and from the current folder when not;
// every other name (another image, a path, a name in a subfolder) is read as
// it is given.
TEST(ProgramImagesTest, TheProgramsOwnImagesAreReadFromBesideItFirst)
{
    ScratchFolder beside("quelmora-program-images-test");
    const std::string folder = beside.path();
    for (const char* name : {"planetexture.dds", "water.dds"}) {
        HANDLE file = CreateFileA((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        CloseHandle(file);
    }
    const struct {
        const char* name;
        std::string programFolder;
        std::string expected;
    } cases[] = {
        {"planetexture.dds", folder, folder + "planetexture.dds"},
        {"PlaneTexture.DDS", folder, folder + "PlaneTexture.DDS"},
        {"billboard.dds", folder, "billboard.dds"},
        {"effect.dds", folder, "effect.dds"},
        {"planetexture.dds", "", "planetexture.dds"},
        {"water.dds", folder, "water.dds"},
        {"C:\\images\\planetexture.dds", folder, "C:\\images\\planetexture.dds"},
        {"sub\\planetexture.dds", folder, "sub\\planetexture.dds"},
        {"", folder, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " in \"" + c.programFolder + "\"");
        EXPECT_EQ(c.expected, ProgramImagePathIn(c.name, c.programFolder));
    }
    EXPECT_EQ(std::string(), ProgramImagePathIn(nullptr, folder));
}

// The program's folder is the test executable's own, spelt exactly.
TEST(ProgramImagesTest, TheProgramFolderIsTheExecutablesFolder)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string expected(path);
    expected = expected.substr(0, expected.find_last_of('\\') + 1);
    EXPECT_EQ(expected, ProgramFolder());
}
