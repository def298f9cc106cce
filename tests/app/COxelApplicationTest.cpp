#include "app/COxelD3DApplication.h"
#include "app/COxelSettingsFile.h"

#include "support/ProgramFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace {

HWND g_watchedWindow = nullptr;
bool g_settingsExistedAtDestroy = false;
bool g_destroySeen = false;

LRESULT CALLBACK WatchDestroy(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->hwnd == g_watchedWindow && message->message == WM_DESTROY) {
        g_destroySeen = true;
        g_settingsExistedAtDestroy = FileExists(SettingsFilePath());
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST(PreviewWindow, ClosingWritesTheSettingsBeforeTheWindowIsDestroyed)
{
    COxelSettingsFile::DestroyInstance();
    DeleteFileA(SettingsFilePath().c_str());
    {
        COxelD3DApplication application(GetModuleHandleA(nullptr), SW_HIDE);
        HWND preview = application.CreateMainWindow();
        ASSERT_NE(nullptr, preview);
        char title[32] = {};
        GetWindowTextA(preview, title, sizeof title);
        EXPECT_STREQ("Preview", title);
        RECT outer;
        GetWindowRect(preview, &outer);
        EXPECT_EQ(640, outer.right - outer.left);
        EXPECT_EQ(480, outer.bottom - outer.top);

        g_watchedWindow = preview;
        g_destroySeen = false;
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchDestroy, nullptr, GetCurrentThreadId());
        SendMessageA(preview, WM_CLOSE, 0, 0);
        UnhookWindowsHookEx(hook);

        EXPECT_TRUE(g_destroySeen);
        EXPECT_TRUE(g_settingsExistedAtDestroy);
        EXPECT_FALSE(IsWindow(preview));
        MSG quit;
        EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    }
    EXPECT_EQ(COxelSettingsFile::kValueCount, CountSavedSettingsKeys());
    DeleteFileA(SettingsFilePath().c_str());
}

TEST(PreviewWindow, OpensAtTheSavedPosition)
{
    COxelSettingsFile::DestroyInstance();
    DeleteFileA(SettingsFilePath().c_str());
    WritePrivateProfileStringA("MainWindowPosition", "WindowPosX", "120", SettingsFilePath().c_str());
    WritePrivateProfileStringA("MainWindowPosition", "WindowPosY", "80", SettingsFilePath().c_str());
    {
        COxelD3DApplication application(GetModuleHandleA(nullptr), SW_HIDE);
        HWND preview = application.CreateMainWindow();
        RECT outer;
        GetWindowRect(preview, &outer);
        EXPECT_EQ(120, outer.left);
        EXPECT_EQ(80, outer.top);
        DestroyWindow(preview);
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    DeleteFileA(SettingsFilePath().c_str());
}
