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
      m_outer(t_answer),
      m_answered(nullptr)
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
    // A task-modal box may be activated before its text is in place (it
    // disables the thread's other windows first): the text is read again as
    // the answered box goes.
    if (code == HCBT_DESTROYWND && t_answer && window == t_answer->m_answered && t_answer->text.empty()) {
        char buffer[512] = {};
        GetDlgItemTextA(window, 0xFFFF, buffer, sizeof buffer);
        t_answer->text = buffer;
    }
    if (code == HCBT_ACTIVATE && t_answer && IsNewMessageBox(window)) {
        // The text is in place by now: the box is activated after its dialog initialisation.
        char buffer[512] = {};
        GetWindowTextA(window, buffer, sizeof buffer);
        t_answer->caption = buffer;
        buffer[0] = '\0';
        GetDlgItemTextA(window, 0xFFFF, buffer, sizeof buffer);
        t_answer->text = buffer;
        ++t_answer->count;
        t_answer->m_answered = window;
        PostMessageA(window, WM_COMMAND, t_answer->m_button, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
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
