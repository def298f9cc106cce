#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// While it lives, answers every message box this thread shows by pressing
// `button`, and remembers what the last one said. The box is found by a CBT
// hook when it is activated and answered from its own message loop as soon as
// it runs, so a test never waits for one: when the
// code under test shows no box, `count` is simply 0 afterwards. Only boxes made
// while it lives count: dialogs that were open before, and file dialogs (left
// to DialogAnswer), are not answered.
class MessageBoxAnswer {
public:
    explicit MessageBoxAnswer(int button = IDOK);
    ~MessageBoxAnswer();
    MessageBoxAnswer(const MessageBoxAnswer&) = delete;
    MessageBoxAnswer& operator=(const MessageBoxAnswer&) = delete;

    int count = 0;
    std::string caption;
    std::string text;
    // Runs while each box is up, before its answer is posted: what it posts is
    // dispatched by the box's own message loop, as a click elsewhere would be.
    std::function<void()> whileShown;

private:
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD);
    static bool IsNewMessageBox(HWND window);

    int m_button;
    HHOOK m_hook;
    MessageBoxAnswer* m_outer;
    // Every window this thread made since the answer began.
    std::vector<HWND> m_made;
    // Boxes found, and those still to be answered.
    std::vector<HWND> m_seen;
    std::vector<HWND> m_pending;
};
