#include "io/TextEncoding.h"

#include <windows.h>

namespace {

std::wstring Widened(UINT codePage, DWORD flags, const std::string& text)
{
    if (text.empty()) {
        return std::wstring();
    }
    const int length = MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) {
        return std::wstring();
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string Narrowed(UINT codePage, const std::wstring& text)
{
    if (text.empty()) {
        return std::string();
    }
    // No best fit: a look-alike would name another terrain.
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int length =
        WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return std::string();
    }
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), &narrow[0], length, nullptr,
                        nullptr);
    return narrow;
}

}  // namespace

std::wstring WideFromUtf8(const std::string& text)
{
    return Widened(CP_UTF8, 0, text);
}

std::string Utf8FromWide(const std::wstring& text)
{
    return Narrowed(CP_UTF8, text);
}

std::string AnsiFromUtf8(const std::string& text)
{
    return Narrowed(CP_ACP, WideFromUtf8(text));
}

std::string Utf8FromAnsi(const std::string& text)
{
    return Utf8FromWide(Widened(CP_ACP, 0, text));
}

std::string Utf8FromFileText(const std::string& bytes)
{
    const bool bom = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    const std::string text = bom ? bytes.substr(3) : bytes;
    if (text.empty() ||
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0) > 0) {
        return text;
    }
    return Utf8FromAnsi(text);
}
