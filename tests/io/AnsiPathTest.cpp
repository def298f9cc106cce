#include "io/AnsiPath.h"

#include "io/RecoveryFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

// A name from the system becomes the program's only when the code page spells
// it exactly: best fit would turn "é" into "e" and "¥" into a backslash.
TEST(AnsiPath, ANameIsTakenOnlyInItsExactForm)
{
    ASSERT_EQ(932u, GetACP()) << "the names below are Shift-JIS";
    const struct {
        const wchar_t* path;
        bool exact;
        const char* ansi;  // the exact form, or what a message shows
    } cases[] = {
        {L"C:\\maps\\a b.omd", true, "C:\\maps\\a b.omd"},
        {L"D:\\地図\\表CON.omd", true, "D:\\地図\\表CON.omd"},
        {L"\\\\host\\共有\\ソ.png", true, "\\\\host\\共有\\ソ.png"},
        {L"\u2460\uFF5E.bmp", true, "\u2460\uFF5E.bmp"},  // ①～: in the code page, as NEC and IBM extensions
        {L"", true, ""},
        {L"C:\\maps\\caf\u00e9.png", false, "C:\\maps\\caf?.png"},
        {L"C:\\maps\\a\u00a5b.png", false, "C:\\maps\\a?b.png"},
        {L"C:\\maps\\\uD55C\uAE00.omd", false, "C:\\maps\\??.omd"},
        {L"\u00c5ngstr\u00f6m.omd", false, "?ngstr?m.omd"},
    };
    for (const auto& c : cases) {
        const std::string shown = ShownAnsiPath(c.path);
        std::string ansi = "untouched";
        EXPECT_EQ(c.exact, ExactAnsiPath(c.path, &ansi)) << shown;
        EXPECT_EQ(c.exact ? c.ansi : "untouched", ansi) << shown;
        EXPECT_EQ(c.ansi, shown);
    }
    // A lone half of a surrogate pair has no form in any code page.
    std::string ansi;
    EXPECT_FALSE(ExactAnsiPath(L"a\xD800.png", &ansi));
}

// The last part of a name is found reading from the front, a double-byte
// character at a time: the second byte of "表" and "ソ" is 0x5C, a backslash,
// and must not cut "表CON.omd" down to the device "CON".
TEST(AnsiPath, NamesAreWalkedACharacterAtATime)
{
    ASSERT_EQ(932u, GetACP()) << "the names below are Shift-JIS";
    const struct {
        const char* path;
        const char* lastPart;
        bool device;     // IsRemoteOrDevicePath
        bool plausible;  // IsPlausibleFilePath
    } cases[] = {
        {"表CON.omd", "表CON.omd", false, false},
        {"ソNUL.omd", "ソNUL.omd", false, false},
        {"C:\\maps\\表CON.omd", "表CON.omd", false, true},
        {"C:\\maps\\ソNUL.omd", "ソNUL.omd", false, true},
        {"C:\\表\\ソAUX", "ソAUX", false, true},
        {"C:\\maps\\ソ", "ソ", false, true},
        {"C:\\能\\com1.bmp", "com1.bmp", true, false},
        {"C:\\maps\\表\\CON.omd", "CON.omd", true, false},
        {"D:\\ソ\\nul", "nul", true, false},
        {"C:\\maps\\LPT9 .dds", "LPT9 .dds", true, false},
        {"C:\\maps\\conout$", "conout$", true, false},
        {"C:ソPRN", "ソPRN", false, false},
        {"C:prn", "prn", true, false},
        {"\\\\host\\share\\表PRN.omd", "表PRN.omd", true, true},
        {"textures/ソ/aux.bmp", "aux.bmp", true, false},
        {"C:\\maps\\atlas.bmp", "atlas.bmp", false, true},
        {"", "", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(c.lastPart, LastPathPart(c.path)) << c.path;
        EXPECT_EQ(c.device, IsRemoteOrDevicePath(c.path)) << c.path;
        EXPECT_EQ(c.plausible, IsPlausibleFilePath(c.path)) << c.path;
    }
    // A lead byte at the very end is one character on its own.
    const char cut[] = {'C', ':', '\\', '\x95', '\0'};
    EXPECT_EQ(cut + 4, NextPathCharacter(cut + 3));
    EXPECT_EQ(cut + 4, NextPathCharacter(cut + 4));
}
