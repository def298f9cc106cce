#include "support/DialogAnswer.h"

#include "support/ProgramFiles.h"

namespace {

// The file name box of the common file dialogs.
const int kFileNameBox = 0x047C;

// This thread's innermost DialogAnswer.
thread_local DialogAnswer* t_answer = nullptr;

}  // namespace

DialogAnswer::DialogAnswer(const std::string& title, const std::string& fileName)
    : DialogAnswer(title, WideText(fileName))
{
}

DialogAnswer::DialogAnswer(const std::string& title, const std::wstring& fileName)
    : m_title(WideText(title)),
      m_fileName(fileName),
      m_answered(false),
      m_dialog(nullptr),
      m_waiting(nullptr),
      m_hook(SetWindowsHookExA(WH_CBT, OnCbt, nullptr, GetCurrentThreadId())),
      m_outer(t_answer)
{
    t_answer = this;
}

DialogAnswer::~DialogAnswer()
{
    Stop();
}

bool DialogAnswer::Stop()
{
    if (m_hook) {
        UnhookWindowsHookEx(m_hook);
        m_hook = nullptr;
        t_answer = m_outer;
    }
    return m_answered;
}

LRESULT CALLBACK DialogAnswer::OnCbt(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char className[16] = {};
        GetClassNameA(window, className, sizeof className);
        wchar_t title[256] = {};
        GetWindowTextW(window, title, 256);
        // The innermost answer for this title takes it.
        for (DialogAnswer* answer = t_answer; answer; answer = answer->m_outer) {
            if (answer->m_hook && lstrcmpA(className, "#32770") == 0 && GetDlgItem(window, kFileNameBox) &&
                answer->m_title == title) {
                if (answer->whileShown && !answer->m_answered) {
                    // Activated again while it waits (or while whileShown runs): it is answered once.
                    if (!answer->m_waiting) {
                        answer->m_waiting = window;
                        SetTimer(nullptr, 0, 0, OnTimer);
                    }
                } else {
                    answer->Answer(window);
                }
                break;
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK DialogAnswer::OnTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    for (DialogAnswer* answer = t_answer; answer; answer = answer->m_outer) {
        HWND dialog = answer->m_waiting;
        if (dialog) {
            answer->whileShown();
            answer->m_waiting = nullptr;
            if (IsWindow(dialog)) {
                answer->Answer(dialog);
            }
            return;
        }
    }
}

void DialogAnswer::Answer(HWND dialog)
{
    // Activated once more after its answer: the answer did not close it.
    if (m_fileName.empty() || dialog == m_dialog) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    } else {
        SetDlgItemTextW(dialog, kFileNameBox, m_fileName.c_str());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }
    m_dialog = dialog;
    m_answered = true;
}
