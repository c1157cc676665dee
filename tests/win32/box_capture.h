#pragma once
#include <windows.h>

#include <string>
#include <vector>

// What a message box looked like when it came up.
struct CapturedBox {
    std::string caption;
    std::string text;                 // the ANSI (CP932) bytes of the message
    std::vector<int> buttons;         // control ids, in window order
    int defaultButton = 0;
    HICON icon = nullptr;
};

// While alive, every dialog box this thread opens is recorded through a
// WH_CBT hook and answered: with WM_COMMAND for `answer`, or with the Enter key
// when `answer` is PRESS_ENTER.
class BoxCapture {
public:
    static constexpr int PRESS_ENTER = -1;
    explicit BoxCapture(int answer);
    ~BoxCapture();
    std::vector<CapturedBox> boxes;

private:
    HHOOK hook;
};

// The system icons a message box may carry.
HICON errorIcon();
HICON warningIcon();
HICON informationIcon();
