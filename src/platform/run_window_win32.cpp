#include "platform/run_window_win32.h"

#include <commctrl.h>

#include "res/resource.h"

namespace {

// The window of the run in progress, whether its user asked it to stop, and
// when the run began and last looked at the user's input.
HWND runningWindow = nullptr;
bool stopAsked = false;
DWORD runStart = 0;
DWORD lastLook = 0;
constexpr DWORD RUN_LOOK_INTERVAL_MS = 50;
// A window made hidden shows only for a run that lasts: a short search
// ends before anyone could read it.
constexpr DWORD RUN_SHOW_DELAY_MS = 300;
// The bar as shown, and as the run last reported it.
int shownPercent = 0;
int reportedPercent = 0;

// Moving the bar is a trip to the window system too, so it moves when the
// run looks at the user's input, not at each chunk.
void moveProgressBar()
{
    if (reportedPercent == shownPercent) return;
    shownPercent = reportedPercent;
    SendDlgItemMessageA(runningWindow, IDC_IMAGE_PROGRESS, PBM_SETPOS, WPARAM(shownPercent), 0);
}

void showLastingRun(DWORD now)
{
    if (IsWindowVisible(runningWindow) || now - runStart < RUN_SHOW_DELAY_MS) return;
    ShowWindow(runningWindow, SW_SHOW);
    SetFocus(GetDlgItem(runningWindow, IDCANCEL));
}

// Keys belong to the run's window alone: typed into the dump they would edit
// the sector the run is reading.
bool isForeignKey(const MSG& message)
{
    return message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST &&
           message.hwnd != runningWindow && !IsChild(runningWindow, message.hwnd);
}

}  // namespace

void beginRunWindow(HWND window)
{
    runningWindow = window;
    stopAsked = false;
    runStart = lastLook = GetTickCount();
    shownPercent = reportedPercent = int(
        SendDlgItemMessageA(window, IDC_IMAGE_PROGRESS, PBM_GETPOS, 0, 0));
}

void endRunWindow()
{
    runningWindow = nullptr;
}

bool isRunWindow(HWND window)
{
    return window != nullptr && window == runningWindow;
}

void stopRunOrEndDialog(HWND dialog)
{
    if (isRunWindow(dialog))
        stopAsked = true;
    else
        EndDialog(dialog, 1);
}

// A full bar or an empty one (a new pass) shows at once: the run may end,
// or the pass begin, before the next look.
void showRunWindowProgress(int percent)
{
    reportedPercent = percent;
    if (percent == 100 || percent == 0) moveProgressBar();
}

// The windows repaint and take the user's input between two chunks, so the
// program never looks hung; a WM_QUIT that arrives meanwhile is put back.
// Each look at the message queue costs a trip to the window system, more
// than a chunk read from a fast device: it is taken a few times a second.
bool continueRunWindow()
{
    DWORD now = GetTickCount();
    if (now - lastLook < RUN_LOOK_INTERVAL_MS) return !stopAsked;
    lastLook = now;
    moveProgressBar();
    showLastingRun(now);
    UpdateWindow(GetWindow(runningWindow, GW_OWNER));
    UpdateWindow(runningWindow);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(int(message.wParam));
            return false;
        }
        if (isForeignKey(message) || IsDialogMessageA(runningWindow, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return !stopAsked;
}

void centreOnOwner(HWND dialog)
{
    RECT owner, own;
    GetWindowRect(GetWindow(dialog, GW_OWNER), &owner);
    GetWindowRect(dialog, &own);
    int width = own.right - own.left, height = own.bottom - own.top;
    SetWindowPos(dialog, nullptr, (owner.left + owner.right - width) / 2,
                 (owner.top + owner.bottom - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

INT_PTR CALLBACK progressWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        centreOnOwner(dialog);
        SendDlgItemMessageA(dialog, IDC_IMAGE_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) stopAsked = true;
        return TRUE;
    }
    return FALSE;
}

}  // namespace

// The owner takes no input while the run reads, as under a modal dialog; it
// is enabled again before the progress window goes, so it is the window the
// system activates next.
void runInProgressWindow(HWND owner, const char* templateName, void (*run)())
{
    HWND progress =
        CreateDialogParamA(GetModuleHandleA(nullptr), templateName, owner, progressWindowProc, 0);
    EnableWindow(owner, FALSE);
    beginRunWindow(progress);
    run();
    endRunWindow();
    EnableWindow(owner, TRUE);
    if (progress != nullptr) DestroyWindow(progress);
    SetFocus(owner);
}
