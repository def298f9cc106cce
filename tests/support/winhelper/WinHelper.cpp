// A small Windows-side companion for the scripts:
//   keep                 stay alive (holds Wine's services up while tests run)
//   ping                 return once Wine's desktop is up
//   find CLASS SECONDS   wait for a visible top-level window of that class and
//                        print "x y width height title" of it
//   command CLASS ID     choose menu command ID in the visible top-level window
//                        of that class, as a click on the menu item would
//   minimize CLASS       minimise the visible top-level window of that class,
//   restore CLASS        or restore it, as its caption buttons would
//   text TITLE           print the static texts of the visible dialog (such as
//                        a message box) with that title, one a line
//   press TITLE ID       press button ID of the visible dialog with that title
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int Find(const char* className, int seconds)
{
    for (int waited = 0; waited <= seconds * 10; ++waited) {
        HWND hwnd = FindWindowA(className, nullptr);
        if (hwnd && IsWindowVisible(hwnd)) {
            RECT rect;
            char title[256] = {};
            GetWindowRect(hwnd, &rect);
            GetWindowTextA(hwnd, title, sizeof title);
            std::printf("%ld %ld %ld %ld %s\n", rect.left, rect.top, rect.right - rect.left,
                        rect.bottom - rect.top, title);
            return 0;
        }
        Sleep(100);
    }
    return 1;
}

int Command(const char* className, int id)
{
    HWND hwnd = FindWindowA(className, nullptr);
    if (!hwnd || !IsWindowVisible(hwnd)) {
        return 1;
    }
    return PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0) ? 0 : 1;
}

int SystemCommand(const char* className, WPARAM command)
{
    HWND hwnd = FindWindowA(className, nullptr);
    if (!hwnd || !IsWindowVisible(hwnd)) {
        return 1;
    }
    return PostMessageA(hwnd, WM_SYSCOMMAND, command, 0) ? 0 : 1;
}

HWND VisibleDialog(const char* title)
{
    HWND hwnd = FindWindowA("#32770", title);
    return hwnd && IsWindowVisible(hwnd) ? hwnd : nullptr;
}

BOOL CALLBACK PrintStaticText(HWND child, LPARAM)
{
    char className[32] = {};
    char text[1024] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0 && GetWindowTextA(child, text, sizeof text) > 0) {
        std::printf("%s\n", text);
    }
    return TRUE;
}

int Text(const char* title)
{
    HWND dialog = VisibleDialog(title);
    if (!dialog) {
        return 1;
    }
    EnumChildWindows(dialog, PrintStaticText, 0);
    return 0;
}

int Press(const char* title, int id)
{
    HWND dialog = VisibleDialog(title);
    if (!dialog) {
        return 1;
    }
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "keep") == 0) {
        GetDesktopWindow();
        Sleep(INFINITE);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "ping") == 0) {
        // Under Wine the first process to ask for the desktop starts it, and
        // the desktop process keeps that process's output handles open. It
        // must be this one, whose output goes nowhere, and not a test that
        // CTest is reading from: CTest would wait for that output to end.
        GetDesktopWindow();
        return 0;
    }
    if (argc >= 4 && std::strcmp(argv[1], "find") == 0) {
        return Find(argv[2], std::atoi(argv[3]));
    }
    if (argc >= 4 && std::strcmp(argv[1], "command") == 0) {
        return Command(argv[2], std::atoi(argv[3]));
    }
    if (argc >= 3 && std::strcmp(argv[1], "minimize") == 0) {
        return SystemCommand(argv[2], SC_MINIMIZE);
    }
    if (argc >= 3 && std::strcmp(argv[1], "restore") == 0) {
        return SystemCommand(argv[2], SC_RESTORE);
    }
    if (argc >= 3 && std::strcmp(argv[1], "text") == 0) {
        return Text(argv[2]);
    }
    if (argc >= 4 && std::strcmp(argv[1], "press") == 0) {
        return Press(argv[2], std::atoi(argv[3]));
    }
    std::fprintf(stderr, "usage: quelmora_winhelper keep | ping | find CLASS SECONDS | command CLASS ID | "
                         "minimize CLASS | restore CLASS | text TITLE | press TITLE ID\n");
    return 2;
}
