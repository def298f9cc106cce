#include "io/AnsiPath.h"

#include "app/ProgramText.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace {

// UTF-8 as the ANSI code page takes no best-fit flag nor a default character:
// the conversion either is exact or fails on a lone surrogate.
bool IsUtf8(UINT codePage)
{
    return codePage == CP_UTF8;
}

std::string ToCodePage(UINT codePage, const wchar_t* path, const char* defaultChar, BOOL* usedDefault)
{
    const DWORD flags = IsUtf8(codePage) ? 0 : WC_NO_BEST_FIT_CHARS;
    if (IsUtf8(codePage)) {
        defaultChar = nullptr;
        usedDefault = nullptr;
    }
    const int size = WideCharToMultiByte(codePage, flags, path, -1, nullptr, 0, defaultChar, usedDefault);
    if (size <= 0) {
        return std::string();
    }
    std::vector<char> bytes(size);
    WideCharToMultiByte(codePage, flags, path, -1, bytes.data(), size, defaultChar, usedDefault);
    return std::string(bytes.data());
}

}  // namespace

bool ExactAnsiPath(const wchar_t* path, std::string* ansi)
{
    const UINT codePage = GetACP();
    BOOL usedDefault = FALSE;
    const std::string converted = ToCodePage(codePage, path, nullptr, &usedDefault);
    if (usedDefault || (converted.empty() && *path)) {
        return false;
    }
    // Back again it must be the same name: a code page whose table maps two
    // characters to one form would otherwise pass.
    const int size = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, converted.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> back(size > 0 ? size : 1);
    if (size <= 0 ||
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, converted.c_str(), -1, back.data(), size) != size ||
        std::wstring(back.data()) != path) {
        return false;
    }
    *ansi = converted;
    return true;
}

std::string ShownAnsiPath(const wchar_t* path)
{
    return ToCodePage(GetACP(), path, "?", nullptr);
}

std::string InexactPathMessage()
{
    return FormatText(IDS_INEXACT_PATH, GetACP());
}

const char* NextPathCharacter(const char* p)
{
    if (!*p) {
        return p;
    }
    return IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] ? p + 2 : p + 1;
}

const char* LastPathPart(const char* path)
{
    const char* last = path;
    for (const char* c = path; *c; c = NextPathCharacter(c)) {
        if (*c == '\\' || *c == '/' || (*c == ':' && c == path + 1)) {
            last = c + 1;
        }
    }
    return last;
}

bool IsRemoteOrDevicePath(const char* name)
{
    const auto isSlash = [](char c) { return c == '\\' || c == '/'; };
    if (isSlash(name[0]) && isSlash(name[1])) {
        return true;
    }
    // The last part of the name, up to its first dot or colon, and without
    // trailing spaces, which Windows drops too.
    const char* last = LastPathPart(name);
    std::size_t length = std::strcspn(last, ".:");
    while (length > 0 && last[length - 1] == ' ') {
        --length;
    }
    char stem[8] = {};
    if (length == 0 || length >= sizeof stem) {
        return false;
    }
    for (std::size_t i = 0; i < length; ++i) {
        const char c = last[i];
        stem[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices) {
        if (std::strcmp(stem, device) == 0) {
            return true;
        }
    }
    // COM1 to COM9 and LPT1 to LPT9.
    return length == 4 && (std::strncmp(stem, "COM", 3) == 0 || std::strncmp(stem, "LPT", 3) == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}
