#pragma once

#include <windows.h>

#include <string>
#include <vector>

// While it lives, answers every message box this thread shows by pressing
// `button`, and remembers what the last one said. The box is answered from a
// CBT hook the moment it is activated, so a test never waits for one: when the
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

private:
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam);
    static bool IsNewMessageBox(HWND window);

    int m_button;
    HHOOK m_hook;
    MessageBoxAnswer* m_outer;
    // Every window this thread made since the answer began.
    std::vector<HWND> m_made;
    // The box answered last.
    HWND m_answered;
};
