#include "app/main_window_win32.h"

#include <shellapi.h>
#include <windowsx.h>

#include "app/about_dialog_win32.h"
#include "app/help.h"
#include "app/inspector_view_win32.h"
#include "app/main_commands.h"
#include "app/modeless_view_win32.h"
#include "app/options_dialog_win32.h"
#include "app/platform_win32.h"
#include "app/read_dialog_win32.h"
#include "app/status_bar_win32.h"
#include "app/structure_view_win32.h"
#include "driveinfo/drive_dialogs_win32.h"
#include "editor/cluster_dialog_win32.h"
#include "editor/cursor.h"
#include "editor/data_inspector.h"
#include "editor/dump_paint_win32.h"
#include "editor/editor_state.h"
#include "editor/fill_dialog_win32.h"
#include "editor/go_to_dialog_win32.h"
#include "editor/navigation.h"
#include "editor/sector_structure.h"
#include "editor/value_edit.h"
#include "editor/value_edit_dialog_win32.h"
#include "editor/view_scroll.h"
#include "image/checksum_dialog_win32.h"
#include "image/file_save_dialog_win32.h"
#include "image/image_dialogs_win32.h"
#include "platform/common_controls_win32.h"
#include "platform/settings.h"
#include "search/find_dialog_win32.h"

namespace {

void openDialog(HWND window, const char* name, DLGPROC procedure)
{
    DialogBoxParamA(GetModuleHandleA(nullptr), name, window, procedure, 0);
}

// A dialog over the dump takes the caret with it.
void openEditorDialog(HWND window, const char* name, DLGPROC procedure)
{
    openDialog(window, name, procedure);
    recreateCaret();
}

// Windows since Vista has no help engine: the manual beside the exe opens in
// the browser instead. Either failing is said, naming the file.
void openHelp(HWND window)
{
    char path[MAX_PATH];
    bool opened = chooseHelp(path, sizeof path) == HelpRoute::HelpEngine
                      ? WinHelpA(window, path, HELP_FINDER, 0) != FALSE
                      : INT_PTR(ShellExecuteA(window, "open", path, nullptr, nullptr,
                                              SW_SHOWNORMAL)) > 32;
    if (!opened) reportHelpUnopened(path);
}

void performCommand(HWND window, int id)
{
    switch (runCommand(id)) {
    case WindowAction::None: break;
    case WindowAction::ReadDialog: openEditorDialog(window, "READ", readDialogProc); break;
    case WindowAction::ImageSaveDialog:
        openEditorDialog(window, "IMAGESAVE", imageSaveDialogProc);
        break;
    case WindowAction::ImageRestoreDialog:
        openEditorDialog(window, "IMAGELOAD", imageRestoreDialogProc);
        break;
    case WindowAction::ImageVerifyDialog:
        openEditorDialog(window, "IMAGEVERIFY", imageVerifyDialogProc);
        break;
    case WindowAction::ClusterDialog: openEditorDialog(window, "CLUSTER", clusterDialogProc); break;
    case WindowAction::ValueEditDialog:
        openDialog(window, "EDIT", valueEditDialogProc);
        closeValueEdit();
        break;
    case WindowAction::FindDialog:
        if (DialogBoxParamA(GetModuleHandleA(nullptr), "FIND", window, findDialogProc, 0) == IDOK)
            runFindWithProgress(window);
        recreateCaret();
        break;
    case WindowAction::FindRun:
        runFindWithProgress(window);
        recreateCaret();
        break;
    case WindowAction::AllDrivesDialog:
        openEditorDialog(window, "ALLINFO", allDrivesDialogProc);
        break;
    case WindowAction::DriveInfoDialog: openEditorDialog(window, "INFO", driveInfoDialogProc); break;
    case WindowAction::PartitionListDialog:
        openEditorDialog(window, "PARTLIST", partitionListDialogProc);
        break;
    case WindowAction::RecoverDialog:
        if (DialogBoxParamA(GetModuleHandleA(nullptr), "RECOVER", window, recoverDialogProc, 0) ==
            IDOK)
            saveFileWithProgress(window);
        recreateCaret();
        break;
    case WindowAction::FileSave:
        saveFileWithProgress(window);
        recreateCaret();
        break;
    case WindowAction::FillDialog: openEditorDialog(window, "FILL", fillDialogProc); break;
    case WindowAction::ChecksumDialog:
        openEditorDialog(window, "CHECKSUM", checksumDialogProc);
        break;
    case WindowAction::GoToDialog: openEditorDialog(window, "GOTO", goToDialogProc); break;
    case WindowAction::OptionsDialog: openDialog(window, "OPTION", optionsDialogProc); break;
    case WindowAction::AboutDialog: openDialog(window, "VELDIS", aboutDialogProc); break;
    case WindowAction::Help: openHelp(window); break;
    case WindowAction::StatusBar:
        showStatusBar(settings.statusBar != 0);
        updateScrollBars();
        InvalidateRect(window, nullptr, TRUE);
        break;
    case WindowAction::Close: SendMessageA(window, WM_CLOSE, 0, 0); break;
    }
}

// The status bar comes just after the window's first paint, with the
// common controls: loaded before it, they held the first paint back.
constexpr UINT WM_ADD_STATUS_BAR = WM_APP + 2;

void addStatusBar(HWND window)
{
    loadCommonControls();
    createStatusBar(window);
    fitStatusBar();
    updateScrollBars();
    InvalidateRect(window, nullptr, TRUE);
    // The views are list views too: they could not come up before.
    allowModelessViews(window, GetModuleHandleA(nullptr));
    if (settings.structureView != 0) showStructure();
    if (settings.inspectorView != 0) showInspector();
}

// The message a second start asks with, 0 until the window exists.
UINT handOverMessage = 0;

// The path waiting for the main loop; WM_OPEN_IMAGE wakes the loop for it.
char pendingImagePath[FILE_PATH_SIZE];
constexpr UINT WM_OPEN_IMAGE = WM_APP + 1;

void openDroppedFile(HWND window, HDROP drop)
{
    char path[FILE_PATH_SIZE];
    UINT length = DragQueryFileA(drop, 0, path, sizeof path);
    DragFinish(drop);
    if (length > 0 && length < sizeof path) openImageLater(window, path);
}

// The sender waits for the answer: the file opens after it has one, so a
// question the opening asks never holds the other program.
LRESULT takeHandedOverPath(HWND window, const COPYDATASTRUCT* data)
{
    if (data->dwData != COPY_IMAGE_PATH || data->cbData == 0 || data->cbData > FILE_PATH_SIZE)
        return FALSE;
    const char* path = static_cast<const char*>(data->lpData);
    if (path[data->cbData - 1] != '\0') return FALSE;
    openImageLater(window, path);
    return TRUE;
}

void limitSize(MINMAXINFO* info)
{
    SizeLimits limits{};
    trackSizeLimits(limits);
    info->ptMinTrackSize = {limits.minWidth, limits.minHeight};
    if (limits.limitMaximum)
        info->ptMaxTrackSize = {limits.maxWidth, limits.maxHeight + statusBarHeight()};
}

void paint(HWND window)
{
    if (editor.source.kind == SourceKind::None) {
        paintBanner(window);
        return;
    }
    paintDump(window);
    placeCaret(false);
}

}  // namespace

UINT handOverQuestion()
{
    return RegisterWindowMessageA(HAND_OVER_QUESTION);
}

void openImageLater(HWND window, const char* path)
{
    lstrcpynA(pendingImagePath, path, sizeof pendingImagePath);
    PostMessageA(window, WM_OPEN_IMAGE, 0, 0);
}

// A file handed over while one opens (its question up) waits its turn.
void openWaitingImage()
{
    while (pendingImagePath[0] != '\0') {
        char path[FILE_PATH_SIZE];
        lstrcpynA(path, pendingImagePath, sizeof path);
        pendingImagePath[0] = '\0';
        openImageFile(path);
        recreateCaret();
    }
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE:
        // The platform's window calls need the handle from the first message on.
        mainWindow = window;
        handOverMessage = handOverQuestion();
        break;
    case WM_CREATE: PostMessageA(window, WM_ADD_STATUS_BAR, 0, 0); return 0;
    case WM_ADD_STATUS_BAR: addStatusBar(window); return 0;
    case WM_PAINT: paint(window); return 0;
    case WM_SIZE:
        fitStatusBar();
        updateScrollBars();
        return 0;
    case WM_GETMINMAXINFO: limitSize(reinterpret_cast<MINMAXINFO*>(lParam)); return 0;
    // A modal dialog or a run disables the window: the views follow.
    case WM_ENABLE:
        enableStructureView(wParam != FALSE);
        enableInspectorView(wParam != FALSE);
        return 0;
    case WM_KEYDOWN:
        onKeyDown(int(wParam));
        placeCaret(true);
        return 0;
    case WM_CHAR: onChar(uint8_t(wParam)); return 0;
    // A press on a byte holds the mouse until the button comes up, so a drag
    // selects wherever the pointer goes.
    case WM_LBUTTONDOWN:
        if (onClick(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) SetCapture(window);
        return 0;
    case WM_MOUSEMOVE:
        if (GetCapture() == window) onDrag(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == window) ReleaseCapture();
        return 0;
    case WM_HSCROLL: onScrollRequest(SB_HORZ, LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_VSCROLL: onScrollRequest(SB_VERT, LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_COMMAND: performCommand(window, LOWORD(wParam)); return 0;
    case WM_DROPFILES: openDroppedFile(window, reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_COPYDATA:
        return takeHandedOverPath(window, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    // Only wakes the main loop: a run's, a dialog's or a box's loop may
    // deliver it, and the file must not open under them.
    case WM_OPEN_IMAGE: return 0;
    // The close box, the system menu and Alt+F4 come here, as 終了 does.
    case WM_CLOSE:
        if (mayClose()) DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        saveSettings();
        PostQuitMessage(0);
        return 0;
    // Cancel refuses the end of the session; once it ends, the window is
    // never destroyed, so the settings are saved here.
    case WM_QUERYENDSESSION: return mayClose();
    case WM_ENDSESSION:
        if (wParam) saveSettings();
        return 0;
    }
    if (message == handOverMessage && message != 0) return HAND_OVER_ANSWER;
    return DefWindowProcA(window, message, wParam, lParam);
}
