#include "dialog_hook.h"

#include <gtest/gtest.h>

namespace {

DialogHook::Script activeScript;
HHOOK activeHook;

std::string windowText(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

BOOL CALLBACK recordChild(HWND child, LPARAM param)
{
    CapturedBox& box = *reinterpret_cast<CapturedBox*>(param);
    if (!IsWindowVisible(child)) return TRUE;  // Wine hides the buttons a box does not use
    char className[32] = "";
    GetClassNameA(child, className, sizeof className);
    LONG style = GetWindowLongA(child, GWL_STYLE);
    if (lstrcmpiA(className, "Button") == 0) {
        box.buttons.push_back(GetDlgCtrlID(child));
        if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) box.defaultButton = GetDlgCtrlID(child);
    } else if (lstrcmpiA(className, "Static") == 0) {
        if ((style & SS_TYPEMASK) == SS_ICON)
            box.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        else if (!windowText(child).empty())
            box.text = windowText(child);
    }
    return TRUE;
}

// Runs from the dialog's own message loop, so the dialog is fully set up by now.
void CALLBACK runScript(HWND dialog, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(dialog, timer);
    if (activeScript) activeScript(dialog);
}

LRESULT CALLBACK onCbt(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char className[16] = "";
        GetClassNameA(window, className, sizeof className);
        if (lstrcmpA(className, "#32770") == 0) SetTimer(window, 1, 0, runScript);
    }
    return CallNextHookEx(activeHook, code, wParam, lParam);
}

}  // namespace

DialogHook::DialogHook(Script script)
{
    activeScript = std::move(script);
    hook = SetWindowsHookExA(WH_CBT, onCbt, nullptr, GetCurrentThreadId());
    activeHook = hook;
}

DialogHook::~DialogHook()
{
    UnhookWindowsHookEx(hook);
    activeScript = nullptr;
}

CapturedBox captureBox(HWND box)
{
    CapturedBox captured;
    captured.caption = windowText(box);
    EnumChildWindows(box, recordChild, reinterpret_cast<LPARAM>(&captured));
    return captured;
}

void pressEnter(HWND dialog)
{
    PostMessageA(dialog, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(dialog, WM_KEYUP, VK_RETURN, 0);
}

BoxCapture::BoxCapture(int answer)
    : hook([this, answer](HWND box) {
          boxes.push_back(captureBox(box));
          if (answer == PRESS_ENTER)
              pressEnter(box);
          else
              PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                           reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
      })
{
}

HICON errorIcon()
{
    return LoadIconA(nullptr, IDI_HAND);
}

HICON warningIcon()
{
    return LoadIconA(nullptr, IDI_EXCLAMATION);
}

HICON informationIcon()
{
    return LoadIconA(nullptr, IDI_ASTERISK);
}

void runDialog(HMODULE module, const char* name, DLGPROC procedure, DialogSteps steps,
               std::vector<std::string>& boxes)
{
    DialogHook hook([&](HWND window) {
        std::string caption = windowText(window);
        if (caption == "Veldis") boxes.push_back(captureBox(window).text);
        ASSERT_FALSE(steps.empty()) << "an unexpected window: " << caption;
        auto step = steps.front();
        steps.pop_front();
        step(window);
    });
    DialogBoxParamA(module, name, nullptr, procedure, 0);
    EXPECT_TRUE(steps.empty());
}
