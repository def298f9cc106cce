#include "editor/RecentFiles.h"

#include "app/COxelSettingsFile.h"
#include "io/RecoveryFolder.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstdio>

namespace {

const char kSection[] = "RecentFiles";
// How many characters of a path the menu shows.
const UINT kShownCharacters = 60;

std::string KeyOf(int number)
{
    return "File" + std::to_string(number);
}

bool SamePath(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

bool IsEntry(UINT id)
{
    return id >= static_cast<UINT>(RecentFiles::kFirstCommand) &&
           id < static_cast<UINT>(RecentFiles::kFirstCommand + RecentFiles::kMaxCount);
}

}  // namespace

void RecentFiles::Load(COxelSettingsFile& settings)
{
    m_paths.clear();
    for (int number = 1; number <= kMaxCount; ++number) {
        char path[MAX_PATH];
        settings.ReadText(kSection, KeyOf(number).c_str(), path, sizeof path);
        const bool known =
            std::any_of(m_paths.begin(), m_paths.end(), [&](const std::string& p) { return SamePath(p, path); });
        if (IsPlausibleFilePath(path) && !known) {
            m_paths.push_back(path);
        }
    }
}

void RecentFiles::Save(COxelSettingsFile& settings) const
{
    settings.WriteText(kSection, nullptr, nullptr);
    for (size_t i = 0; i < m_paths.size(); ++i) {
        settings.WriteText(kSection, KeyOf(static_cast<int>(i) + 1).c_str(), m_paths[i].c_str());
    }
}

void RecentFiles::Add(const char* path)
{
    if (!IsPlausibleFilePath(path)) {
        return;
    }
    Remove(path);
    m_paths.insert(m_paths.begin(), path);
    if (m_paths.size() > static_cast<size_t>(kMaxCount)) {
        m_paths.resize(kMaxCount);
    }
}

void RecentFiles::Remove(const std::string& path)
{
    m_paths.erase(
        std::remove_if(m_paths.begin(), m_paths.end(), [&](const std::string& p) { return SamePath(p, path); }),
        m_paths.end());
}

std::string RecentFiles::PathOf(int id) const
{
    const int at = id - kFirstCommand;
    return at >= 0 && at < static_cast<int>(m_paths.size()) ? m_paths[at] : std::string();
}

void RecentFiles::ShowIn(HMENU fileMenu, UINT afterCommand) const
{
    const int count = GetMenuItemCount(fileMenu);
    int first = -1;
    for (int position = 0; position < count; ++position) {
        if (GetMenuItemID(fileMenu, position) == afterCommand) {
            // Past the separator that follows the item.
            first = position + 2;
        }
    }
    if (first < 0 || first > count) {
        return;
    }
    bool shown = false;
    while (IsEntry(GetMenuItemID(fileMenu, first))) {
        DeleteMenu(fileMenu, first, MF_BYPOSITION);
        shown = true;
    }
    if (shown) {
        DeleteMenu(fileMenu, first, MF_BYPOSITION);
    }
    if (m_paths.empty()) {
        return;
    }
    for (size_t i = 0; i < m_paths.size(); ++i) {
        const std::string text = MenuText(static_cast<int>(i) + 1, m_paths[i]);
        InsertMenuA(fileMenu, first + static_cast<int>(i), MF_BYPOSITION | MF_STRING,
                    kFirstCommand + static_cast<UINT_PTR>(i), text.c_str());
    }
    InsertMenuA(fileMenu, first + static_cast<int>(m_paths.size()), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
}

std::string RecentFiles::MenuText(int number, const std::string& path)
{
    char shortened[MAX_PATH];
    if (!PathCompactPathExA(shortened, path.c_str(), kShownCharacters, 0)) {
        snprintf(shortened, sizeof shortened, "%s", path.c_str());
    }
    std::string text = "&" + std::to_string(number) + " ";
    for (const char* c = shortened; *c; ++c) {
        text += *c;
        if (*c == '&') {
            text += '&';
        } else if (IsDBCSLeadByte(static_cast<BYTE>(*c)) && c[1]) {
            text += *++c;
        }
    }
    return text;
}
