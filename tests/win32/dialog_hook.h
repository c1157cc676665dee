#pragma once
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

// While alive, hands every dialog box this thread opens (message boxes
// included) to `script`, once the box is set up and inside its own modal loop.
class DialogHook {
public:
    using Script = std::function<void(HWND dialog)>;
    explicit DialogHook(Script script);
    ~DialogHook();

private:
    HHOOK hook;
};

// What a message box looked like when it came up.
struct CapturedBox {
    std::string caption;
    std::string text;          // the ANSI (CP932) bytes of the message
    std::vector<int> buttons;  // visible buttons' ids, in window order
    int defaultButton = 0;     // the button drawn as the default one
    HICON icon = nullptr;
};

CapturedBox captureBox(HWND box);

// Records every box and answers it: with WM_COMMAND for `answer`, or with the
// Enter key when `answer` is PRESS_ENTER.
struct BoxCapture {
    static constexpr int PRESS_ENTER = -1;
    explicit BoxCapture(int answer);
    std::vector<CapturedBox> boxes;
    DialogHook hook;
};

void pressEnter(HWND dialog);

// The system icons a message box may carry.
HICON errorIcon();
HICON warningIcon();
HICON informationIcon();

// Opens dialog `name` of `module`; each dialog or message box that comes up
// takes the next step, and the text of each box (captioned "Veldis") is
// added to `boxes`. Every step must have been taken when the dialog ends.
using DialogSteps = std::deque<std::function<void(HWND)>>;
void runDialog(HMODULE module, const char* name, DLGPROC procedure, DialogSteps steps,
               std::vector<std::string>& boxes);
