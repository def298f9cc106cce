#include "support/MessageBoxAnswer.h"

namespace {

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
    if (code == HCBT_ACTIVATE && t_answer) {
        HWND box = reinterpret_cast<HWND>(wParam);
        char className[16] = {};
        GetClassNameA(box, className, sizeof className);
        // The text is in place by now: the box is activated after its dialog initialisation.
        if (lstrcmpA(className, "#32770") == 0) {
            char buffer[512] = {};
            GetWindowTextA(box, buffer, sizeof buffer);
            t_answer->caption = buffer;
            buffer[0] = '\0';
            GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
            t_answer->text = buffer;
            ++t_answer->count;
            PostMessageA(box, WM_COMMAND, t_answer->m_button, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
