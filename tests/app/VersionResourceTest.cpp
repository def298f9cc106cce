#include "support/ProgramFiles.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// What Explorer's Details tab shows for the program: its version, product and
// file names.
TEST(VersionResource, TheProgramCarriesItsVersionAndNames)
{
    const std::string program = ExecutableDirectory() + "quelmora.exe";
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(program.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(program.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(static_cast<DWORD>(VS_FFI_SIGNATURE), fixed->dwSignature);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
    // 0.0.1, as the About box says.
    EXPECT_EQ(MAKELONG(0, 0), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(0, 1), fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);

    const std::pair<const char*, const char*> strings[] = {
        {"ProductName", "Quelmora"},
        {"ProductVersion", "0.0.1"},
        {"FileVersion", "0.0.1"},
        {"OriginalFilename", "quelmora.exe"},
        {"InternalName", "quelmora"},
    };
    for (const auto& entry : strings) {
        char* value = nullptr;
        const std::string key = std::string("\\StringFileInfo\\041104B0\\") + entry.first;
        ASSERT_TRUE(VerQueryValueA(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length))
            << entry.first;
        EXPECT_STREQ(entry.second, value) << entry.first;
    }
}
