#include <windows.h>
#include <shellapi.h>

#include <initializer_list>

#include "app/inspector_view_win32.h"
#include "app/main_commands.h"
#include "app/main_window_win32.h"
#include "app/platform_win32.h"
#include "app/startup.h"
#include "app/structure_view_win32.h"
#include "disk/physical_disk_win32.h"
#include "disk/sector_routes_win32.h"
#include "editor/editor_state.h"
#include "platform/commands.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/settings.h"

namespace {

const char* const WINDOW_CLASS = "VELDIS";
// A window that does not answer within this is no Veldis to wait for.
constexpr UINT HAND_OVER_TIMEOUT_MS = 5000;

bool registerWindowClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, "VELDIS");
    windowClass.hIconSm = static_cast<HICON>(LoadImageA(instance, "VELDIS", IMAGE_ICON, 16, 16, 0));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszMenuName = "VELDIS";
    windowClass.lpszClassName = WINDOW_CLASS;
    return RegisterClassExA(&windowClass) != 0;
}

// The image file named on the command line ("open with", a file
// association), in full: a program already running has its own folder.
// False for none.
bool imagePathOf(const char* commandLine, char* path)
{
    char name[FILE_PATH_SIZE];
    while (*commandLine == ' ') commandLine++;
    bool quoted = *commandLine == '"';
    lstrcpynA(name, commandLine + quoted, sizeof name);
    for (int end = lstrlenA(name); end > 0 && (name[end - 1] == ' ' || name[end - 1] == '"');)
        name[--end] = '\0';
    if (name[0] == '\0') return false;
    DWORD length = GetFullPathNameA(name, FILE_PATH_SIZE, path, nullptr);
    return length > 0 && length < FILE_PATH_SIZE;
}

// The running Veldis: a window of the class that answers as this program
// does. Another program may have registered the class too.
HWND findAnsweringWindow()
{
    for (HWND window = FindWindowExA(nullptr, nullptr, WINDOW_CLASS, nullptr); window != nullptr;
         window = FindWindowExA(nullptr, window, WINDOW_CLASS, nullptr)) {
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutA(window, handOverQuestion(), 0, 0, SMTO_ABORTIFHUNG,
                                HAND_OVER_TIMEOUT_MS, &answer) &&
            LRESULT(answer) == HAND_OVER_ANSWER)
            return window;
    }
    return nullptr;
}

// A second start gives way to the first: restored and brought to the front,
// with the image file it was given. A path goes only to a window that
// answers as Veldis; where none does, the path opens here.
bool handOverToRunningInstance(const char* imagePath)
{
    bool handing = imagePath[0] != '\0';
    HWND running = handing ? findAnsweringWindow() : FindWindowA(WINDOW_CLASS, nullptr);
    if (running == nullptr) return false;
    ShowWindow(running, SW_RESTORE);
    SetForegroundWindow(running);
    if (handing) {
        COPYDATASTRUCT data = {COPY_IMAGE_PATH, DWORD(lstrlenA(imagePath) + 1),
                               const_cast<char*>(imagePath)};
        SendMessageA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    }
    return true;
}

// The main window's accelerators first, wherever the focus is; then the
// views' keys (Tab, Enter, Esc) as a dialog takes them.
void dispatchMessage(HWND window, HACCEL accelerators, MSG& message)
{
    if (TranslateAcceleratorA(window, accelerators, &message)) return;
    for (HWND view : {structureViewWindow(), inspectorViewWindow()})
        if (view != nullptr && IsDialogMessageA(view, &message)) return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

// Every message, then what waits for a moment with no run, dialog or
// question up: this loop runs only then.
int runMessageLoop(HWND window, HACCEL accelerators)
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        dispatchMessage(window, accelerators, message);
        openWaitingImage();
    }
    return int(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    installWin32Platform();
    SectorIo::setRoutes(WIN32_SECTOR_ROUTES);
    installVwin32Device();
    installDiskDevice();
    resetEditor();
    resetCommandStates();
    int exitCode = checkStartup(detectAccessMethod());
    if (exitCode != STARTUP_GO_ON) return exitCode;
    char imagePath[FILE_PATH_SIZE] = "";
    if (!imagePathOf(commandLine, imagePath)) imagePath[0] = '\0';
    if (handOverToRunningInstance(imagePath)) return 0;

    loadSettings();
    if (!registerWindowClass(instance)) return 0;
    HWND window = CreateWindowExA(0, WINDOW_CLASS, MESSAGE_CAPTION,
                                  WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                  settings.windowLeft, settings.windowTop, settings.windowWidth,
                                  settings.windowHeight, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 0;
    restoreSessionCommands();
    HACCEL accelerators = LoadAcceleratorsA(instance, "veldis");
    DragAcceptFiles(window, TRUE);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    if (imagePath[0] != '\0') openImageLater(window, imagePath);
    return runMessageLoop(window, accelerators);
}
