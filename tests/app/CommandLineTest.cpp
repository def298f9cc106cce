#include "app/CommandLine.h"
#include "app/CommandLineRun.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

using Arguments = std::vector<std::string>;

TEST(CommandLine, SplitsAsTheRuntimeDoesAndKeepsDoubleByteNamesWhole)
{
    const struct {
        const char* text;
        Arguments expected;
    } cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"map.omd", {"map.omd"}},
        {"  --export-gltf  a.omd\tb.glb ", {"--export-gltf", "a.omd", "b.glb"}},
        {"\"C:\\My Maps\\world one.omd\"", {"C:\\My Maps\\world one.omd"}},
        {"C:\\My\" \"Maps\\x.omd", {"C:\\My Maps\\x.omd"}},  // quotes open and close inside an argument
        {"\"\"", {""}},
        {"a\\\\b \"c\\\\\" d", {"a\\\\b", "c\\", "d"}},      // 2n backslashes before a quote give n
        {"\"say \\\"hi\\\"\"", {"say \"hi\""}},               // 2n + 1 give n and a plain quote
        {"\"unclosed name", {"unclosed name"}},
        // Shift-JIS names whose trail byte is 0x5C, the backslash, right before a quote.
        {"\"D:\\地図\\表\" \"ソ\"", {"D:\\地図\\表", "ソ"}},
        {"\"D:\\マップ 表示\\能.omd\"", {"D:\\マップ 表示\\能.omd"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, SplitCommandLine(c.text)) << c.text;
    }
    EXPECT_EQ(Arguments(), SplitCommandLine(nullptr));
}

TEST(CommandLine, EachFormAndEachUsageError)
{
    const CommandLine::Form usage = CommandLine::kUsageError;
    const struct {
        Arguments arguments;
        CommandLine::Form form;
        const char* input;
        const char* output;
        int size;
        const char* error;  // part of the message of a usage error
    } cases[] = {
        {{}, CommandLine::kEdit, "", "", 0, ""},
        {{"C:\\maps\\a b.omd"}, CommandLine::kOpenMap, "C:\\maps\\a b.omd", "", 0, ""},
        {{"--export-gltf", "a.omd", "a.glb"}, CommandLine::kExportGltf, "a.omd", "a.glb", 0, ""},
        {{"--export-heightmap", "a.omd", "h.png"}, CommandLine::kExportHeightmap, "a.omd", "h.png", 0, ""},
        {{"a.omd", "--export-picture", "p.png"}, CommandLine::kExportPicture, "a.omd", "p.png", 0, ""},
        {{"--import-heightmap", "h.png", "n.omd"}, CommandLine::kImportHeightmap, "h.png", "n.omd", 0, ""},
        {{"--import-heightmap", "h.png", "n.omd", "--size", "64"}, CommandLine::kImportHeightmap, "h.png", "n.omd",
         64, ""},
        {{"--size", "16", "--import-heightmap", "h.png", "n.omd"}, CommandLine::kImportHeightmap, "h.png", "n.omd",
         16, ""},
        {{"--help"}, CommandLine::kHelp, "", "", 0, ""},
        {{"-h"}, CommandLine::kHelp, "", "", 0, ""},
        {{"--export-gltf", "a.omd", "/?"}, CommandLine::kHelp, "", "", 0, ""},
        {{"--export-glb", "a.omd", "a.glb"}, usage, "", "", 0, "不明なオプションです: --export-glb"},
        {{"-x"}, usage, "", "", 0, "不明なオプションです: -x"},
        {{"--export-gltf", "a.omd"}, usage, "", "", 0, "引数が足りません: --export-gltf MAP.omd OUT.glb"},
        {{"--export-picture"}, usage, "", "", 0, "引数が足りません"},
        {{"--export-gltf", "a.omd", "b.glb", "c"}, usage, "", "", 0, "余分な引数があります: c"},
        {{"--export-gltf", "a.omd", "b.glb", "--export-picture"}, usage, "", "", 0, "一つの処理だけ"},
        {{"--import-heightmap", "h.png", "n.omd", "--size"}, usage, "", "", 0, "--size の後に"},
        {{"--import-heightmap", "h.png", "n.omd", "--size", "48"}, usage, "", "", 0, "16, 32, 64, 128, 256, 512 です: 48"},
        {{"--import-heightmap", "h.png", "n.omd", "--size", "032x"}, usage, "", "", 0, "16, 32, 64, 128, 256, 512"},
        {{"--export-heightmap", "a.omd", "h.png", "--size", "16"}, usage, "", "", 0, "--size は"},
        {{"a.omd", "--size", "16"}, usage, "", "", 0, "--size は"},
        {{"a.omd", "b.omd"}, usage, "", "", 0, "開けるマップは一つだけです: b.omd"},
        {{"--import-heightmap", "h.png", "n.omd", "--size", "16", "--size", "32"}, usage, "", "", 0,
         "同じオプションが二度指定されています: --size"},
        {{"--size", "16", "--import-heightmap", "h.png", "n.omd", "--size", "16"}, usage, "", "", 0, "二度"},
        {{"--export-gltf", "a.omd", "b.glb", "--export-gltf"}, usage, "", "", 0,
         "同じオプションが二度指定されています: --export-gltf"},
    };
    for (const auto& c : cases) {
        std::string shown;
        for (const std::string& argument : c.arguments) {
            shown += argument + " ";
        }
        const CommandLine command = ParseCommandLine(c.arguments);
        EXPECT_EQ(c.form, command.form) << shown;
        EXPECT_EQ(c.input, command.input) << shown;
        EXPECT_EQ(c.output, command.output) << shown;
        EXPECT_EQ(c.size, command.size) << shown;
        EXPECT_NE(std::string::npos, command.error.find(c.error)) << shown << "-> " << command.error;
        EXPECT_EQ(c.form != CommandLine::kEdit && c.form != CommandLine::kOpenMap, command.RunsWithoutWindow())
            << shown;
    }
}

// The console gets each message on one line, and Japanese sentences run on
// without the space an English line would put between them.
TEST(CommandLine, AMessageBecomesOneConsoleLine)
{
    const struct {
        const char* message;
        const char* line;
    } cases[] = {
        {"書き出せませんでした。\n元のファイルは変更されていません。", "書き出せませんでした。元のファイルは変更されていません。"},
        {"起動できません。\n\nこのファイルは", "起動できません。このファイルは"},
        {"見つかりません。\r\n外しました。", "見つかりません。外しました。"},
        {"一行目\n二行目", "一行目 二行目"},
        {"first.\r\n\r\nsecond", "first. second"},
        // "ー" (0x81 0x5B) and "】" (0x81 0x7A) share the full stop's lead byte.
        {"ー\n【", "ー 【"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.line, ConsoleLine(c.message)) << c.message;
    }
}

// The command line as the system hands it over, in UTF-16 with the program's
// name first: each argument is taken in the program's code page only when it
// has an exact form there; one that has none is named, never replaced by a
// look-alike, unless the line is a usage error or asks for help anyway.
TEST(CommandLine, ReadsTheUtf16LineAndNamesAnArgumentWithNoExactForm)
{
    ASSERT_EQ(932u, GetACP()) << "the names below are Shift-JIS";
    const struct {
        const wchar_t* line;
        CommandLine::Form form;
        const char* input;
        const char* output;
        const char* inexactPath;
    } cases[] = {
        {L"quelmora.exe", CommandLine::kEdit, "", "", ""},
        {L"\"C:\\Program Files\\Q\\quelmora.exe\"  \"D:\\地図\\表\" ", CommandLine::kOpenMap, "D:\\地図\\表", "", ""},
        {L"q.exe --export-heightmap \"D:\\マップ 表示\\能.omd\" ソ.png", CommandLine::kExportHeightmap,
         "D:\\マップ 表示\\能.omd", "ソ.png", ""},
        {L"q.exe --export-heightmap m.omd caf\u00e9.png", CommandLine::kExportHeightmap, "m.omd", "caf?.png",
         "caf?.png"},
        {L"q.exe --export-picture m.omd a\u00a5b.png", CommandLine::kExportPicture, "m.omd", "a?b.png", "a?b.png"},
        {L"q.exe --import-heightmap \uD55C.png n.omd", CommandLine::kImportHeightmap, "?.png", "n.omd", "?.png"},
        {L"q.exe caf\u00e9.omd", CommandLine::kOpenMap, "caf?.omd", "", "caf?.omd"},
        {L"q.exe caf\u00e9.omd --help", CommandLine::kHelp, "", "", ""},
        {L"q.exe --export-gltf caf\u00e9.omd", CommandLine::kUsageError, "", "", ""},
    };
    for (const auto& c : cases) {
        const CommandLine command = ReadCommandLine(c.line);
        EXPECT_EQ(c.form, command.form) << c.input;
        EXPECT_EQ(c.input, command.input);
        EXPECT_EQ(c.output, command.output) << c.input;
        EXPECT_EQ(c.inexactPath, command.inexactPath) << c.input;
    }
}
