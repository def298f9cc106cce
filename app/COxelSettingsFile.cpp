#include "app/COxelSettingsFile.h"

#include "app/COxelD3DApplication.h"

#include <cstdlib>
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
    BuildPath();
    return static_cast<int>(GetPrivateProfileIntA(section, key, 0, m_path));
}

int COxelSettingsFile::WriteInt(const char* section, const char* key, int value)
{
    BuildPath();
    char text[16] = {};
    wsprintfA(text, "%d", value);
    WritePrivateProfileStringA(section, key, text, m_path);
    return 0;
}

// The file lies beside the executable, whatever the current directory is.
void COxelSettingsFile::BuildPath()
{
    HINSTANCE module = g_application ? g_application->m_hInstance : nullptr;
    GetModuleFileNameA(module, m_path, MAX_PATH);
    m_path[MAX_PATH - 1] = '\0';

    char drive[_MAX_DRIVE] = {};
    char directory[_MAX_DIR] = {};
    char name[_MAX_FNAME] = {};
    char extension[_MAX_EXT] = {};
    _splitpath_s(m_path, drive, sizeof drive, directory, sizeof directory, name, sizeof name, extension,
                 sizeof extension);

    m_path[0] = '\0';
    strncat_s(m_path, MAX_PATH, drive, _TRUNCATE);
    strncat_s(m_path, MAX_PATH, directory, _TRUNCATE);
    strncat_s(m_path, MAX_PATH, kFileName, _TRUNCATE);
}
