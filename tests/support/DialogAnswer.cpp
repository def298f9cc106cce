#include "support/DialogAnswer.h"

namespace {

// The file name box of the common file dialogs.
const int kFileNameBox = 0x047C;

struct Search {
    std::wstring title;
    HWND found;
};

std::wstring Wide(const std::string& text)
{
    wchar_t wide[256] = {};
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, 256);
    return wide;
}

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    char className[16] = {};
    GetClassNameA(hwnd, className, sizeof className);
    // Not GetWindowText: for a window of the test's own thread it sends a
    // message, which waits for as long as that thread does not pump, and
    // the thread may be waiting for this one.
    wchar_t title[256] = {};
    InternalGetWindowText(hwnd, title, 256);
    if (process == GetCurrentProcessId() && lstrcmpA(className, "#32770") == 0 && search->title == title &&
        IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

DialogAnswer::DialogAnswer(const std::string& title, const std::string& fileName, DWORD timeoutMs)
    : m_title(title),
      m_fileName(fileName),
      m_timeoutMs(timeoutMs),
      m_answered(false),
      m_stop(false),
      m_thread([this] { Watch(); })
{
}

DialogAnswer::~DialogAnswer()
{
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

bool DialogAnswer::Stop()
{
    m_stop = true;
    return Answered();
}

bool DialogAnswer::Answered()
{
    if (m_thread.joinable()) {
        m_thread.join();
    }
    return m_answered;
}

void DialogAnswer::Watch()
{
    const DWORD start = GetTickCount();
    while (!m_stop && GetTickCount() - start < m_timeoutMs) {
        Search search = {Wide(m_title), nullptr};
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            if (m_fileName.empty()) {
                PostMessageA(search.found, WM_COMMAND, IDCANCEL, 0);
            } else {
                SetDlgItemTextA(search.found, kFileNameBox, m_fileName.c_str());
                PostMessageA(search.found, WM_COMMAND, IDOK, 0);
            }
            m_answered = true;
            return;
        }
        Sleep(20);
    }
}
