#include "support/MessageBoxAnswer.h"

#include <algorithm>

namespace {

// The file name box of the common file dialogs.
const int kFileNameBox = 0x047C;

// The answer of this thread's innermost MessageBoxAnswer.
thread_local MessageBoxAnswer* t_answer = nullptr;

}  // namespace

MessageBoxAnswer::MessageBoxAnswer(int button)
    : m_button(button),
      m_hook(SetWindowsHookExA(WH_CBT, OnCbt, nullptr, GetCurrentThreadId())),
      m_outer(t_answer)
{
    t_answer = this;
}

MessageBoxAnswer::~MessageBoxAnswer()
{
    if (m_hook) {
        UnhookWindowsHookEx(m_hook);
    }
    t_answer = m_outer;
}

LRESULT CALLBACK MessageBoxAnswer::OnCbt(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && t_answer) {
        t_answer->m_made.push_back(window);
    }
    if (code == HCBT_ACTIVATE && t_answer && IsNewMessageBox(window) &&
        std::find(t_answer->m_seen.begin(), t_answer->m_seen.end(), window) == t_answer->m_seen.end()) {
        // A box may be activated while it is still being set up (a task-modal
        // one disables the other windows first): it is read and answered from
        // its own message loop, once it is whole.
        t_answer->m_seen.push_back(window);
        t_answer->m_pending.push_back(window);
        SetTimer(nullptr, 0, 0, OnTimer);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK MessageBoxAnswer::OnTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    MessageBoxAnswer* answer = t_answer;
    if (!answer || answer->m_pending.empty()) {
        return;
    }
    HWND window = answer->m_pending.front();
    answer->m_pending.erase(answer->m_pending.begin());
    if (!IsWindow(window)) {
        return;
    }
    char buffer[512] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    answer->caption = buffer;
    buffer[0] = '\0';
    GetDlgItemTextA(window, 0xFFFF, buffer, sizeof buffer);
    answer->text = buffer;
    ++answer->count;
    if (answer->whileShown) {
        answer->whileShown();
    }
    PostMessageA(window, WM_COMMAND, answer->m_button, 0);
}

bool MessageBoxAnswer::IsNewMessageBox(HWND window)
{
    // Dialogs that were there before, such as the editor's modeless ones, and
    // file dialogs, which have a file name box, are not message boxes to answer.
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    return lstrcmpA(className, "#32770") == 0 && !GetDlgItem(window, kFileNameBox) &&
           std::find(t_answer->m_made.begin(), t_answer->m_made.end(), window) != t_answer->m_made.end();
}
