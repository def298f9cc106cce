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
    int ReadInt(const char* section, const char* key);
    int WriteInt(const char* section, const char* key, int value);

    // The section and key of value i.
    static const char* Section(int index);
    static const char* Key(int index);

    int m_values[kValueCount];
    char m_path[MAX_PATH];

private:
    COxelSettingsFile();
    void BuildPath();

    static COxelSettingsFile* s_instance;
};
