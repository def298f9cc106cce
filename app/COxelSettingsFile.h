#pragma once

#include <windows.h>

// The window layout, kept in "Quelmora.ini" beside the executable. Made on
// first use, read once, written only when Save() is called.
class COxelSettingsFile {
public:
    static constexpr int kValueCount = 20;

    static COxelSettingsFile* GetInstance();
    static void DestroyInstance();

    int Load();
    int Save();
    // Without a usable path (see PathBeside) a read gives 0 and a write does nothing.
    int ReadInt(const char* section, const char* key);
    int WriteInt(const char* section, const char* key, int value);
    // Text values: a missing key reads as empty, and so does one too long for
    // `size` bytes, rather than cut short. A null text removes the key; a null
    // key removes the whole section.
    void ReadText(const char* section, const char* key, char* text, DWORD size);
    void WriteText(const char* section, const char* key, const char* text);

    // The section and key of value i.
    static const char* Section(int index);
    static const char* Key(int index);
    // Writes into `path` (MAX_PATH bytes) the settings file in the folder of the
    // module at `modulePath`. False, with `path` empty, when the folder is too
    // long for the file name to fit.
    static bool PathBeside(const char* modulePath, char* path);

    int m_values[kValueCount];
    char m_path[MAX_PATH];

private:
    COxelSettingsFile();
    // Rebuilds m_path; false when there is none.
    bool BuildPath();

    static COxelSettingsFile* s_instance;
};
