#include "box_capture.h"

namespace {

BoxCapture* active;
int activeAnswer;
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
    char className[32] = "";
    GetClassNameA(child, className, sizeof className);
    LONG style = GetWindowLongA(child, GWL_STYLE);
    if (!IsWindowVisible(child)) return TRUE;  // Wine hides the buttons a box does not use
    if (lstrcmpiA(className, "Button") == 0) {
        box.buttons.push_back(GetDlgCtrlID(child));
    } else if (lstrcmpiA(className, "Static") == 0) {
        if ((style & SS_TYPEMASK) == SS_ICON)
            box.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        else if (!windowText(child).empty())
            box.text = windowText(child);
    }
    return TRUE;
}

// Runs from the box's own message loop, so the box is fully set up by now.
void CALLBACK captureAndAnswer(HWND box, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(box, timer);
    if (active == nullptr) return;
    CapturedBox captured;
    captured.caption = windowText(box);
    EnumChildWindows(box, recordChild, reinterpret_cast<LPARAM>(&captured));
    LRESULT defId = SendMessageA(box, DM_GETDEFID, 0, 0);
    if (HIWORD(defId) == DC_HASDEFID) captured.defaultButton = LOWORD(defId);
    active->boxes.push_back(captured);
    if (activeAnswer == BoxCapture::PRESS_ENTER) {
        PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageA(box, WM_KEYUP, VK_RETURN, 0);
    } else {
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(activeAnswer, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, activeAnswer)));
    }
}

LRESULT CALLBACK onCbt(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && active != nullptr) {
        HWND box = reinterpret_cast<HWND>(wParam);
        char className[16] = "";
        GetClassNameA(box, className, sizeof className);
        if (lstrcmpA(className, "#32770") == 0) SetTimer(box, 1, 0, captureAndAnswer);
    }
    return CallNextHookEx(activeHook, code, wParam, lParam);
}

}  // namespace

BoxCapture::BoxCapture(int answer)
{
    active = this;
    activeAnswer = answer;
    hook = SetWindowsHookExA(WH_CBT, onCbt, nullptr, GetCurrentThreadId());
    activeHook = hook;
}

BoxCapture::~BoxCapture()
{
    UnhookWindowsHookEx(hook);
    active = nullptr;
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
