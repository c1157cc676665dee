#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/main_window_win32.h"
#include "app/platform_win32.h"
#include "app/status_bar_win32.h"
#include "dialog_hook.h"
#include "editor/display_mode.h"
#include "editor/dump_view.h"
#include "editor/editor_state.h"
#include "editor/selection.h"
#include "platform/commands.h"
#include "platform/platform.h"
#include "platform/settings.h"
#include "wine_paths.h"

// The main window procedure on a real window: Windows reports the resize of
// a scroll bar shown or hidden with a nested WM_SIZE.
namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        installWin32Platform();
        resetEditor();
        resetCommandStates();
        settings = Settings{};
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = mainWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "VeldisScrollTest";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, "VeldisScrollTest", "Veldis", WS_OVERLAPPEDWINDOW, 0, 0, 400,
                                 300, nullptr, nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_SHOWNOACTIVATE);
        // The status bar comes with a message posted at the window's creation.
        MSG message;
        while (PeekMessageA(&message, window, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        // A sector on screen, as a load leaves it.
        editor.source = driveSource(0);
        editor.sectorSize = 512;
        editor.lineCount = 32;
    }
    void TearDown() override
    {
        // Closing would run the shutdown, which saves settings beside the test.
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
        DestroyWindow(window);
    }

    void resize(int width, int height)
    {
        SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    }

    // Each bar is shown exactly while its content is larger than the client
    // area as it is now, with the scrollable part as its range.
    void expectBarsFitTheClientArea()
    {
        RECT client;
        GetClientRect(window, &client);
        client.bottom -= statusBarHeight();  // the dump has what the status bar leaves
        EXPECT_EQ(view.clientWidth, client.right);
        EXPECT_EQ(view.clientHeight, client.bottom);
        LONG style = GetWindowLongA(window, GWL_STYLE);
        struct Bar {
            int bar;
            LONG style;
            int32_t content, client, offset;
        } bars[] = {{SB_VERT, WS_VSCROLL, view.contentHeight, client.bottom, view.scrollY},
                    {SB_HORZ, WS_HSCROLL, view.contentWidth, client.right, view.scrollX}};
        for (const Bar& bar : bars) {
            SCOPED_TRACE(bar.bar == SB_VERT ? "vertical" : "horizontal");
            bool needed = bar.client < bar.content;
            ASSERT_EQ((style & bar.style) != 0, needed) << bar.client << " of " << bar.content;
            if (!needed) continue;
            int minimum = -1, maximum = -1;
            GetScrollRange(window, bar.bar, &minimum, &maximum);
            EXPECT_EQ(minimum, 0);
            EXPECT_EQ(maximum, bar.content - bar.client);
            EXPECT_LE(bar.offset, maximum);
        }
    }

    HWND window = nullptr;
};

TEST_F(MainWindow, ScrollRangesFollowTheClientAreaAsItFinallyIs)
{
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    const int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    // Around each edge: where a bar appears, and where the other bar's
    // appearance decides whether this one is needed.
    const int steps[] = {-40, -bar - 1, -bar, -1, 0, 1, bar, bar + 1, 40};
    for (int cell = 0; cell < 2 * FONT_SIZE_COUNT; cell++) {
        // The dump's last line must stay reachable above the status bar.
        int size = cell / 2;
        showStatusBar(cell % 2 != 0);
        int status = statusBarHeight();
        ASSERT_EQ(status > 0, cell % 2 != 0);
        SCOPED_TRACE("font size " + std::to_string(size) + ", status bar " + std::to_string(status));
        applyFontSize(size);
        setKanjiMode(size % 2);
        for (int dx : steps) {
            for (int dy : steps) {
                resize(view.contentWidth + frameWidth + dx,
                       view.contentHeight + frameHeight + status + dy);
                SCOPED_TRACE("window " + std::to_string(dx) + "," + std::to_string(dy));
                expectBarsFitTheClientArea();
            }
        }
        applyFontSize(size);  // the bars as they are, refitted to the new metrics
        expectBarsFitTheClientArea();
    }
}

// Saved while minimized or maximized, the rectangle is still the one the
// window is restored to; a minimized window's own lies off every screen.
TEST_F(MainWindow, TheRectangleToSaveIsTheRestoredOne)
{
    applyFontSize(2);  // a dump large enough not to limit the window
    SetWindowPos(window, nullptr, 100, 50, 500, 400, SWP_NOZORDER);
    for (int state : {SW_MINIMIZE, SW_MAXIMIZE, SW_RESTORE}) {
        ShowWindow(window, state);
        int32_t rect[4] = {};
        platform.getMainWindowRect(&rect[0], &rect[1], &rect[2], &rect[3]);
        EXPECT_EQ(std::vector<int32_t>(rect, rect + 4), (std::vector<int32_t>{100, 50, 600, 450}))
            << state;
    }
    ShowWindow(window, SW_MINIMIZE);
    RECT minimized;
    GetWindowRect(window, &minimized);
    EXPECT_FALSE(platform.isOnScreen(minimized.left, minimized.top, minimized.right,
                                     minimized.bottom));
    EXPECT_TRUE(platform.isOnScreen(100, 50, 600, 450));
    EXPECT_TRUE(platform.isOnScreen(-400, -300, 1, 1));
}

// Every way of closing asks while the window is still there, and Cancel
// keeps it: the close box and Alt+F4 (WM_CLOSE), the end of the session.
TEST_F(MainWindow, ClosingWithEditsAsksAndCancelKeepsTheWindow)
{
    editor.workBuffer[0] = 1;
    syncBuffers(SyncMode::Compare);
    BoxCapture capture(IDCANCEL);
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(SendMessageA(window, WM_QUERYENDSESSION, 0, 0), 0);
    ASSERT_EQ(capture.boxes.size(), 2u);
    for (const CapturedBox& box : capture.boxes) {
        EXPECT_EQ(box.text, "変更箇所の書き込みを行いますか？");
        EXPECT_EQ(box.defaultButton, IDCANCEL);
    }
    EXPECT_NE(editor.modified, 0);
}

}  // namespace

namespace {

int copiesReceived = 0;

LRESULT CALLBACK foreignWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) copiesReceived++;
    return DefWindowProcA(window, message, wParam, lParam);
}

// Another program's window of the class "VELDIS" answers nothing as Veldis
// does: a second start hands it no path and opens the file itself. The
// window that does answer is the main window.
// A press on a byte holds the mouse: the drag selects wherever the pointer
// goes, off the window too, until the button comes up.
TEST_F(MainWindow, ADragHoldsTheMouseUntilTheButtonComesUp)
{
    applyFontSize(2);  // cells 10 pixels wide, lines 21 high
    auto at = [](int x, int y) { return LPARAM(MAKELONG(WORD(short(x)), WORD(short(y)))); };
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at(9 * 10 + 2, 21 + 3));  // byte 0x11
    EXPECT_EQ(GetCapture(), window);
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, at(-40, -30));
    EXPECT_EQ(selectedBytes().first, 0u);
    EXPECT_EQ(selectedBytes().length, 0x12u);
    SendMessageA(window, WM_LBUTTONUP, 0, at(-40, -30));
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessageA(window, WM_MOUSEMOVE, 0, at(30 * 10, 5 * 21));  // let go: no longer selects
    EXPECT_EQ(selectedBytes().length, 0x12u);

    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at(2, 3));  // the address: holds nothing
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(selectedBytes().length, 0u);
}

TEST(HandOver, OnlyAWindowThatAnswersAsVeldisIsHandedAPath)
{
    char temp[MAX_PATH], folder[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    GetTempFileNameA(temp, "vho", 0, folder);
    DeleteFileA(folder);
    ASSERT_TRUE(CreateDirectoryA(folder, nullptr));
    std::string exe = std::string(folder) + "\\veldis.exe", image = std::string(folder) + "\\ho.img";
    ASSERT_TRUE(CopyFileA(winePathFromEnvironment("VELDIS_EXE").c_str(), exe.c_str(), FALSE));
    HANDLE file = CreateFileA(image.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    std::vector<char> zeros(4096, 0);
    DWORD written = 0;
    WriteFile(file, zeros.data(), DWORD(zeros.size()), &written, nullptr);
    CloseHandle(file);

    WNDCLASSA foreign = {};
    foreign.lpfnWndProc = foreignWindowProc;
    foreign.hInstance = GetModuleHandleA(nullptr);
    foreign.lpszClassName = "VELDIS";
    RegisterClassA(&foreign);
    HWND impostor = CreateWindowA("VELDIS", "", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                  foreign.hInstance, nullptr);
    ASSERT_NE(impostor, nullptr);
    std::string command = "\"" + exe + "\" \"" + image + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                               folder, &startup, &process));
    // Messages flow meanwhile: the second start asks the impostor, which must answer.
    HWND opened = nullptr;
    for (int wait = 0; wait < 1200 && opened == nullptr; wait++) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        opened = FindWindowA(nullptr, "Veldis - ho.img　0セクタ");
        Sleep(50);
    }
    ASSERT_NE(opened, nullptr) << "the second start did not open its file itself";
    EXPECT_EQ(copiesReceived, 0);
    EXPECT_NE(SendMessageA(impostor, handOverQuestion(), 0, 0), HAND_OVER_ANSWER);
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutA(opened, handOverQuestion(), 0, 0, SMTO_ABORTIFHUNG, 5000,
                                    &answer));
    EXPECT_EQ(LRESULT(answer), HAND_OVER_ANSWER);

    PostMessageA(opened, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DestroyWindow(impostor);
    for (const char* name : {"\\veldis.exe", "\\veldis.INI", "\\veldis.WRT", "\\ho.img"})
        DeleteFileA((std::string(folder) + name).c_str());
    RemoveDirectoryA(folder);
}

}  // namespace
