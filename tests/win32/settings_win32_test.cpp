#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/options_dialog_win32.h"
#include "app/platform_win32.h"
#include "dialog_hook.h"
#include "dialog_template.h"
#include "platform/settings.h"
#include "res/resource.h"

namespace {

constexpr char CHILD_VARIABLE[] = "VELDIS_SETTINGS_CHILD";

std::string ownPath()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

std::vector<std::string> lines(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> result;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) result.push_back(line);
    }
    return result;
}

// Run by the parent below, in a copy of this exe under another base name.
TEST(SettingsChild, RoundTripBesideTheExe)
{
    if (std::getenv(CHILD_VARIABLE) == nullptr) GTEST_SKIP() << "runs in the copied exe";
    installWin32Platform();
    loadSettings();
    std::string ini = iniPath;
    ASSERT_EQ(ini.substr(ini.size() - 15), "Veldis Copy.INI");
    ASSERT_EQ(GetFileAttributesA(iniPath), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(settings.windowWidth, 640);
    EXPECT_EQ(settings.windowHeight, 480);
    EXPECT_EQ(settings.fontSize, 2);
    EXPECT_EQ(settings.kanji, 1);
    EXPECT_EQ(settings.confirmSectorWrite, 1);

    WritePrivateProfileStringA("OPTION", "FONTSIZE", "12", iniPath);
    WritePrivateProfileStringA("OPTION", "KANJI", "-3", iniPath);
    loadSettings();
    EXPECT_EQ(settings.fontSize, 2);
    EXPECT_EQ(settings.kanji, -3);
    DeleteFileA(iniPath);  // the save below writes a file of its own

    mainWindow = CreateWindowExA(0, "STATIC", "", WS_POPUP, 100, 50, 800, 600, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(mainWindow, nullptr);
    settings.fontSize = 4;
    settings.kanji = 0;
    settings.confirmSectorWrite = 0;
    saveSettings();
    DestroyWindow(mainWindow);

    settings = Settings{};
    loadSettings();
    EXPECT_EQ(settings.windowTop, 50);
    EXPECT_EQ(settings.windowHeight, 600);
    EXPECT_EQ(settings.windowLeft, 100);
    EXPECT_EQ(settings.windowWidth, 800);
    EXPECT_EQ(settings.fontSize, 4);
    EXPECT_EQ(settings.kanji, 0);
    EXPECT_EQ(settings.confirmSectorWrite, 0);
    EXPECT_EQ(settings.confirmDiscardEdits, 1);
}

TEST(SettingsFile, EachExeNameHasItsOwnIniFile)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string dir = std::string(temp) + "veldis-settings-" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    std::string copy = dir + "\\Veldis Copy.exe";
    ASSERT_TRUE(CopyFileA(ownPath().c_str(), copy.c_str(), FALSE));

    SetEnvironmentVariableA(CHILD_VARIABLE, "1");
    std::string command = "\"" + copy + "\" --gtest_filter=SettingsChild.*";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    SetEnvironmentVariableA(CHILD_VARIABLE, nullptr);
    WaitForSingleObject(process.hProcess, 60000);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    EXPECT_EQ(exitCode, 0u) << "the copied exe's round trip failed";

    std::vector<std::string> expected = {"[OPTION]",   "TOP=50",  "BOTTOM=600", "LEFT=100",
                                         "RIGHT=800",  "FONTSIZE=4", "KANJI=0", "OPTFLAG1=0",
                                         "OPTFLAG2=1", "STATUSBAR=1", "STRUCTVIEW=0",
                                         "STRUCTLEFT=640", "STRUCTTOP=0", "STRUCTWIDTH=560",
                                         "STRUCTHEIGHT=400", "INSPECTVIEW=0", "INSPECTLEFT=640",
                                         "INSPECTTOP=400", "INSPECTWIDTH=360",
                                         "INSPECTHEIGHT=480", "READRETRY=2"};
    EXPECT_EQ(lines(dir + "\\Veldis Copy.INI"), expected);
    std::string own = ownPath();
    own.replace(own.size() - 3, 3, "INI");
    EXPECT_EQ(GetFileAttributesA(own.c_str()), INVALID_FILE_ATTRIBUTES);

    DeleteFileA((dir + "\\Veldis Copy.INI").c_str());
    DeleteFileA(copy.c_str());
    RemoveDirectoryA(dir.c_str());
}

TEST(OptionsDialog, TemplateOfTheExe)
{
    HMODULE exe = loadVeldisExe();
    ASSERT_NE(exe, nullptr);
    DialogTemplate dialog;
    ASSERT_TRUE(readDialogTemplate(exe, "OPTION", dialog));
    EXPECT_EQ(dialog.title, "オプション設定");
    EXPECT_EQ(dialog.fontPoints, 9);
    EXPECT_EQ(dialog.fontFace, "ＭＳ Ｐゴシック");
    ASSERT_EQ(dialog.items.size(), 4u);
    struct Expected {
        int id;
        const char* text;
        DWORD kind;
    } expected[] = {{1021, "セクタ書込する時の確認を行う", BS_AUTOCHECKBOX},
                    {1022, "編集を破棄する時の確認を行う", BS_AUTOCHECKBOX},
                    {IDOK, "OK", BS_DEFPUSHBUTTON},
                    {IDCANCEL, "ｷｬﾝｾﾙ", BS_PUSHBUTTON}};
    for (size_t i = 0; i < 4; i++) {
        EXPECT_EQ(dialog.items[i].id, expected[i].id);
        EXPECT_EQ(dialog.items[i].className, "Button");
        EXPECT_EQ(dialog.items[i].text, expected[i].text);
        EXPECT_EQ(dialog.items[i].style & BS_TYPEMASK, expected[i].kind) << expected[i].id;
    }
    FreeLibrary(exe);
}

class OptionsDialogRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        exe = loadVeldisExe();
        ASSERT_NE(exe, nullptr);
        settings = Settings{};
        settings.confirmSectorWrite = 1;
        settings.confirmDiscardEdits = 1;
    }
    void TearDown() override { FreeLibrary(exe); }

    // Opens the dialog, notes the boxes as they came up, then runs `act`.
    INT_PTR run(std::function<void(HWND)> act)
    {
        DialogHook hook([&](HWND dialog) {
            openedWith = {IsDlgButtonChecked(dialog, IDC_OPTION_CONFIRM_WRITE) == BST_CHECKED,
                          IsDlgButtonChecked(dialog, IDC_OPTION_CONFIRM_DISCARD) == BST_CHECKED};
            act(dialog);
        });
        return DialogBoxParamA(exe, "OPTION", nullptr, optionsDialogProc, 0);
    }
    static void click(HWND dialog, int id) { SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0); }

    HMODULE exe = nullptr;
    OptionsChoice openedWith{};
};

TEST_F(OptionsDialogRun, UncheckAndOkChangesTheOptions)
{
    INT_PTR result = run([](HWND dialog) {
        click(dialog, IDC_OPTION_CONFIRM_WRITE);
        click(dialog, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(openedWith.confirmSectorWrite);
    EXPECT_TRUE(openedWith.confirmDiscardEdits);
    EXPECT_EQ(settings.confirmSectorWrite, 0);
    EXPECT_EQ(settings.confirmDiscardEdits, 1);

    result = run([](HWND dialog) {
        click(dialog, IDC_OPTION_CONFIRM_WRITE);
        click(dialog, IDC_OPTION_CONFIRM_DISCARD);
        pressEnter(dialog);  // OK is the default button
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_FALSE(openedWith.confirmSectorWrite);
    EXPECT_EQ(settings.confirmSectorWrite, 1);
    EXPECT_EQ(settings.confirmDiscardEdits, 0);
}

TEST_F(OptionsDialogRun, CancelEscapeAndTheCloseBoxChangeNothing)
{
    std::function<void(HWND)> cancels[] = {
        [](HWND dialog) { click(dialog, IDCANCEL); },
        [](HWND dialog) {
            PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessageA(dialog, WM_KEYUP, VK_ESCAPE, 0);
        },
        [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    for (auto& cancel : cancels) {
        INT_PTR result = run([&](HWND dialog) {
            click(dialog, IDC_OPTION_CONFIRM_WRITE);
            click(dialog, IDC_OPTION_CONFIRM_DISCARD);
            cancel(dialog);
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(settings.confirmSectorWrite, 1);
        EXPECT_EQ(settings.confirmDiscardEdits, 1);
    }
}

}  // namespace
