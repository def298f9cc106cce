#include "app/COxelSettingsFile.h"

#include "app/COxelD3DApplication.h"

#include <cstring>
#include <new>

namespace {

struct SettingsKey {
    const char* section;
    const char* key;
};

const SettingsKey kKeys[COxelSettingsFile::kValueCount] = {
    {"MainWindowPosition", "WindowPosX"},
    {"MainWindowPosition", "WindowPosY"},
    {"EditMenuWindowPosition", "WindowPosX"},
    {"EditMenuWindowPosition", "WindowPosY"},
    {"SceneSettingWindowPosition", "WindowPosX"},
    {"SceneSettingWindowPosition", "WindowPosY"},
    {"BillboardSettingWindowPosition", "WindowPosX"},
    {"BillboardSettingWindowPosition", "WindowPosY"},
    {"HeightWindowPosition", "WindowPosX"},
    {"HeightWindowPosition", "WindowPosY"},
    {"TextureWindowPosition", "WindowPosX"},
    {"TextureWindowPosition", "WindowPosY"},
    {"TextureMappingWindowPosition", "WindowPosX"},
    {"TextureMappingWindowPosition", "WindowPosY"},
    {"MapEditWindowPosition", "WindowPosX"},
    {"MapEditWindowPosition", "WindowPosY"},
    {"TextureMappingWindowPosition", "CellWidth"},
    {"TextureMappingWindowPosition", "CellHeight"},
    {"MapEditWindowPosition", "Width"},
    {"MapEditWindowPosition", "Height"},
};

const char kFileName[] = "Quelmora.ini";

}  // namespace

COxelSettingsFile* COxelSettingsFile::s_instance = nullptr;

COxelSettingsFile::COxelSettingsFile() : m_values(), m_path()
{
}

COxelSettingsFile* COxelSettingsFile::GetInstance()
{
    if (!s_instance) {
        s_instance = new (std::nothrow) COxelSettingsFile();
        if (s_instance) {
            s_instance->Load();
        }
    }
    return s_instance;
}

void COxelSettingsFile::DestroyInstance()
{
    delete s_instance;
    s_instance = nullptr;
}

const char* COxelSettingsFile::Section(int index)
{
    return kKeys[index].section;
}

const char* COxelSettingsFile::Key(int index)
{
    return kKeys[index].key;
}

int COxelSettingsFile::Load()
{
    for (int i = 0; i < kValueCount; ++i) {
        m_values[i] = ReadInt(kKeys[i].section, kKeys[i].key);
    }
    return 0;
}

int COxelSettingsFile::Save()
{
    for (int i = 0; i < kValueCount; ++i) {
        WriteInt(kKeys[i].section, kKeys[i].key, m_values[i]);
    }
    return 0;
}

int COxelSettingsFile::ReadInt(const char* section, const char* key)
{
    if (!BuildPath()) {
        return 0;
    }
    return static_cast<int>(GetPrivateProfileIntA(section, key, 0, m_path));
}

int COxelSettingsFile::WriteInt(const char* section, const char* key, int value)
{
    if (!BuildPath()) {
        return 0;
    }
    char text[16] = {};
    wsprintfA(text, "%d", value);
    WritePrivateProfileStringA(section, key, text, m_path);
    return 0;
}

void COxelSettingsFile::ReadText(const char* section, const char* key, char* text, DWORD size)
{
    text[0] = '\0';
    if (!BuildPath()) {
        return;
    }
    // A value that fills the buffer may have been cut off.
    if (GetPrivateProfileStringA(section, key, "", text, size, m_path) + 1 >= size) {
        text[0] = '\0';
    }
}

void COxelSettingsFile::WriteText(const char* section, const char* key, const char* text)
{
    if (BuildPath()) {
        WritePrivateProfileStringA(section, key, text, m_path);
    }
}

// The file lies beside the executable, whatever the current directory is.
bool COxelSettingsFile::BuildPath()
{
    HINSTANCE module = g_application ? g_application->m_hInstance : nullptr;
    char modulePath[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(module, modulePath, MAX_PATH);
    // A path cut off at the end of the buffer would lead to some other folder.
    if (length == 0 || length >= MAX_PATH) {
        m_path[0] = '\0';
        return false;
    }
    return PathBeside(modulePath, m_path);
}

bool COxelSettingsFile::PathBeside(const char* modulePath, char* path)
{
    // The folder ends after the last separator, or after the drive of a bare
    // "C:name". The second byte of a double-byte character can look like a
    // backslash (the 0x5C in "ソ"), so the path is read from the front.
    const size_t moduleLength = strnlen(modulePath, MAX_PATH);
    size_t folderLength = 0;
    for (size_t i = 0; i < moduleLength; ++i) {
        const char c = modulePath[i];
        if (IsDBCSLeadByte(static_cast<BYTE>(c)) && i + 1 < moduleLength) {
            ++i;
        } else if (c == '\\' || c == '/' || c == ':') {
            folderLength = i + 1;
        }
    }
    if (moduleLength == MAX_PATH || folderLength + sizeof kFileName > MAX_PATH) {
        path[0] = '\0';
        return false;
    }
    memcpy(path, modulePath, folderLength);
    memcpy(path + folderLength, kFileName, sizeof kFileName);
    return true;
}
