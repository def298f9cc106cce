#pragma once

#include <windows.h>

#include <string>
#include <vector>

class COxelSettingsFile;

// The maps last opened or saved, newest first, as "ファイル(&F)" lists them
// just above "終了(&X)", where a longer list moves no other item. Kept in the
// settings file's section "RecentFiles" as File1 .. File8.
class RecentFiles {
public:
    static const int kMaxCount = 8;
    // The menu commands of the entries, newest first.
    static const int kFirstCommand = 250;

    // Takes the list from the settings file: values that are missing, too
    // long, not an absolute path or named twice are left out.
    void Load(COxelSettingsFile& settings);
    void Save(COxelSettingsFile& settings) const;

    // `path` becomes the newest entry (once: an earlier entry of the same file
    // goes), and the oldest falls off past eight.
    void Add(const char* path);
    void Remove(const std::string& path);
    const std::vector<std::string>& Paths() const { return m_paths; }
    // The entry of menu command `id`; empty when `id` is none of the list's.
    std::string PathOf(int id) const;

    // Puts the entries into the file menu `fileMenu` below the separator after
    // the item `afterCommand`, with a separator of their own after them,
    // replacing the ones shown before; an empty list shows nothing.
    void ShowIn(HMENU fileMenu, UINT afterCommand) const;
    // "&1 C:\...\name.omd": the number as the item's key, the path shortened
    // in the middle when long, and an ampersand in it shown as one.
    static std::string MenuText(int number, const std::string& path);

private:
    std::vector<std::string> m_paths;
};
