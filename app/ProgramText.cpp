#include "app/ProgramText.h"

#include "app/ProgramLanguage.h"

#include <cstdarg>
#include <cstdio>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace {

const char* const kStringType = MAKEINTRESOURCEA(6);  // RT_STRING
const char* const kMenuType = MAKEINTRESOURCEA(4);    // RT_MENU
const char* const kDialogType = MAKEINTRESOURCEA(5);  // RT_DIALOG

// The resource in `language`, else in whichever language the resources have
// it, as a Windows without that language's resources would show it.
const void* FindProgramResource(const char* type, const char* name, LANGID language, DWORD* size)
{
    const HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceExA(module, type, name, language);
    if (!found) {
        found = FindResourceA(module, name, type);
    }
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (size) {
        *size = loaded ? SizeofResource(module, found) : 0;
    }
    return loaded ? LockResource(loaded) : nullptr;
}

std::string Ansi(const std::wstring& text)
{
    if (text.empty()) {
        return std::string();
    }
    const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string ansi(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &ansi[0], length, nullptr, nullptr);
    return ansi;
}

}  // namespace

std::wstring TextIn(UINT id, LANGID language)
{
    // A string table resource is a block of sixteen texts, each its length
    // followed by its UTF-16 characters.
    DWORD size = 0;
    const WCHAR* block = static_cast<const WCHAR*>(
        FindProgramResource(kStringType, MAKEINTRESOURCEA(id / 16 + 1), language, &size));
    const size_t count = size / sizeof(WCHAR);
    size_t at = 0;
    for (UINT i = 0; block && i < id % 16 && at < count; ++i) {
        at += 1 + block[at];
    }
    if (!block || at >= count || at + 1 + block[at] > count) {
        return std::wstring();
    }
    return std::wstring(block + at + 1, block[at]);
}

const char* Text(UINT id)
{
    // Kept for the program's life, so callers may hold the pointer as they
    // held the literals these texts replace; the work threads ask too.
    static std::mutex guard;
    static std::map<std::pair<LANGID, UINT>, std::string> texts;
    const LANGID language = ProgramLanguage();
    std::lock_guard<std::mutex> lock(guard);
    auto found = texts.find({language, id});
    if (found == texts.end()) {
        found = texts.emplace(std::make_pair(language, id), Ansi(TextIn(id, language))).first;
    }
    return found->second.c_str();
}

std::string FormatText(UINT id, ...)
{
    const char* format = Text(id);
    va_list arguments;
    va_start(arguments, id);
    va_list measure;
    va_copy(measure, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) {
        std::vsnprintf(&text[0], text.size() + 1, format, arguments);
    }
    va_end(arguments);
    return text;
}

HMENU LoadProgramMenu(const char* name)
{
    const void* menu = FindProgramResource(kMenuType, name, ProgramLanguage(), nullptr);
    return menu ? LoadMenuIndirectA(menu) : nullptr;
}

const DLGTEMPLATE* ProgramDialog(int resource, DWORD* size)
{
    return static_cast<const DLGTEMPLATE*>(
        FindProgramResource(kDialogType, MAKEINTRESOURCEA(resource), ProgramLanguage(), size));
}
