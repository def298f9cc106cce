#include "app/CommandLine.h"

#include "app/ProgramText.h"
#include "io/AnsiPath.h"
#include "io/MapFileFormat.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

const char* CommandLineUsage()
{
    return Text(IDS_COMMAND_LINE_USAGE);
}

namespace {

struct FileForm {
    const char* option;
    CommandLine::Form form;
    const char* operands;  // for the message when some are missing
};

const FileForm kFileForms[] = {
    {"--export-gltf", CommandLine::kExportGltf, "MAP.omd OUT.glb"},
    {"--export-heightmap", CommandLine::kExportHeightmap, "MAP.omd OUT.png"},
    {"--export-picture", CommandLine::kExportPicture, "MAP.omd OUT.png"},
    {"--import-heightmap", CommandLine::kImportHeightmap, "PICTURE OUT.omd [--size N]"},
};

const char kSizeOption[] = "--size";

bool IsHelp(const std::string& argument)
{
    return argument == "--help" || argument == "-h" || argument == "/?";
}

bool IsOption(const std::string& argument)
{
    return argument.size() > 1 && argument[0] == '-';
}

CommandLine UsageError(const std::string& error)
{
    CommandLine command;
    command.form = CommandLine::kUsageError;
    command.error = error;
    return command;
}

// A size the new-map menu offers, or 0.
int MapSize(const std::string& text)
{
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos) {
        return 0;
    }
    const int size = std::atoi(text.c_str());
    return IsMapFileSize(size) ? size : 0;
}

}  // namespace

bool CommandLine::RunsWithoutWindow() const
{
    return form != kEdit && form != kOpenMap;
}

namespace {

// One character of an argument: a double-byte character of the ANSI code page
// is one, so that its trail byte is never taken for a backslash or a quote.
const char* NextCharacter(const char* p)
{
    return NextPathCharacter(p);
}

const wchar_t* NextCharacter(const wchar_t* p)
{
    return *p ? p + 1 : p;
}

template <class Char>
std::vector<std::basic_string<Char>> Split(const Char* p)
{
    std::vector<std::basic_string<Char>> arguments;
    for (;;) {
        while (*p == ' ' || *p == '\t') {
            ++p;
        }
        if (!*p) {
            return arguments;
        }
        std::basic_string<Char> argument;
        bool quoted = false;
        while (*p && (quoted || (*p != ' ' && *p != '\t'))) {
            if (*p == '\\') {
                size_t backslashes = 0;
                while (p[backslashes] == '\\') {
                    ++backslashes;
                }
                if (p[backslashes] == '"') {
                    argument.append(backslashes / 2, '\\');
                    p += backslashes;
                    if (backslashes % 2) {
                        argument += '"';
                        ++p;
                    }
                } else {
                    argument.append(backslashes, '\\');
                    p += backslashes;
                }
            } else if (*p == '"') {
                quoted = !quoted;
                ++p;
            } else {
                const Char* next = NextCharacter(p);
                argument.append(p, next);
                p = next;
            }
        }
        arguments.push_back(argument);
    }
}

}  // namespace

std::vector<std::string> SplitCommandLine(const char* text)
{
    return Split(text ? text : "");
}

CommandLine ReadCommandLine(const wchar_t* commandLine)
{
    // The program's own name comes first, as the C runtime reads it: up to the
    // next quote when it starts with one, else up to the first blank.
    const wchar_t* p = commandLine ? commandLine : L"";
    if (*p == L'"') {
        for (++p; *p && *p != L'"'; ++p) {
        }
        if (*p) {
            ++p;
        }
    } else {
        while (*p && *p != L' ' && *p != L'\t') {
            ++p;
        }
    }
    std::vector<std::string> arguments;
    std::string inexact;
    for (const std::wstring& wide : Split(p)) {
        std::string argument;
        if (!ExactAnsiPath(wide.c_str(), &argument)) {
            argument = ShownAnsiPath(wide.c_str());
            if (inexact.empty()) {
                inexact = argument;
            }
        }
        arguments.push_back(argument);
    }
    CommandLine command = ParseCommandLine(arguments);
    // Options are plain ASCII and a size is digits: once the arguments make
    // sense, an argument with no exact form is one of the files.
    if (command.form != CommandLine::kHelp && command.form != CommandLine::kUsageError) {
        command.inexactPath = inexact;
    }
    return command;
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    for (const std::string& argument : arguments) {
        if (IsHelp(argument)) {
            CommandLine help;
            help.form = CommandLine::kHelp;
            return help;
        }
    }
    const FileForm* form = nullptr;
    std::vector<std::string> operands;
    std::vector<std::string> options;
    int size = 0;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!IsOption(argument)) {
            operands.push_back(argument);
            continue;
        }
        // Which of two values was meant is the user's to say, not the parser's to guess.
        if (std::find(options.begin(), options.end(), argument) != options.end()) {
            return UsageError(Text(IDS_USAGE_REPEATED_OPTION) + argument);
        }
        options.push_back(argument);
        if (argument == kSizeOption) {
            if (i + 1 >= arguments.size()) {
                return UsageError(Text(IDS_USAGE_NO_SIZE));
            }
            size = MapSize(arguments[++i]);
            if (!size) {
                return UsageError(Text(IDS_USAGE_BAD_SIZE) + arguments[i]);
            }
            continue;
        }
        const FileForm* named = nullptr;
        for (const FileForm& candidate : kFileForms) {
            if (argument == candidate.option) {
                named = &candidate;
            }
        }
        if (!named) {
            return UsageError(Text(IDS_USAGE_UNKNOWN_OPTION) + argument);
        }
        if (form) {
            return UsageError(std::string(Text(IDS_USAGE_TWO_FORMS)) + form->option + " " + argument);
        }
        form = named;
    }

    CommandLine command;
    if (!form) {
        if (size) {
            return UsageError(Text(IDS_USAGE_SIZE_WITHOUT_IMPORT));
        }
        if (operands.size() > 1) {
            return UsageError(Text(IDS_USAGE_TWO_MAPS) + operands[1]);
        }
        if (operands.size() == 1) {
            command.form = CommandLine::kOpenMap;
            command.input = operands[0];
        }
        return command;
    }
    if (operands.size() < 2) {
        return UsageError(std::string(Text(IDS_USAGE_TOO_FEW)) + form->option + " " + form->operands);
    }
    if (operands.size() > 2) {
        return UsageError(Text(IDS_USAGE_TOO_MANY) + operands[2]);
    }
    if (size && form->form != CommandLine::kImportHeightmap) {
        return UsageError(Text(IDS_USAGE_SIZE_WITHOUT_IMPORT));
    }
    command.form = form->form;
    command.input = operands[0];
    command.output = operands[1];
    command.size = form->form == CommandLine::kImportHeightmap ? size : 0;
    return command;
}
