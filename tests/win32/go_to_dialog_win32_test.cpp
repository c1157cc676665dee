#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dialog_hook.h"
#include "dialog_template.h"
#include "editor/editor_state.h"
#include "editor/go_to.h"
#include "editor/go_to_dialog_win32.h"
#include "editor/navigation.h"
#include "platform/messages.h"
#include "platform/settings.h"
#include "res/resource.h"
#include "wine_editor.h"

namespace {

TEST(GoToDialog, TemplateOfTheExe)
{
    HMODULE exe = loadVeldisExe();
    ASSERT_NE(exe, nullptr);
    DialogTemplate dialog;
    ASSERT_TRUE(readDialogTemplate(exe, "GOTO", dialog));
    FreeLibrary(exe);
    EXPECT_EQ(dialog.title, "指定位置へ移動");
    EXPECT_EQ(dialog.fontPoints, 9);
    EXPECT_EQ(dialog.fontFace, "ＭＳ Ｐゴシック");
    std::vector<int> ids;
    std::vector<std::string> classes;
    for (const DialogItem& item : dialog.items) {
        ids.push_back(item.id);
        classes.push_back(item.className);
    }
    // Template order is the tab order: the text, its kind, OK, Cancel.
    EXPECT_EQ(ids, (std::vector<int>{0xFFFF, IDC_GOTO_TEXT, IDC_GOTO_BYTE, IDC_GOTO_SECTOR, IDOK,
                                     IDCANCEL}));
    EXPECT_EQ(classes,
              (std::vector<std::string>{"Static", "Edit", "Button", "Button", "Button", "Button"}));
    EXPECT_EQ(dialog.items[2].text, "ﾊﾞｲﾄ位置");
    EXPECT_EQ(dialog.items[3].text, "ｾｸﾀ番号");
    EXPECT_EQ(dialog.items[4].text, "OK");
    EXPECT_EQ(dialog.items[5].text, "ｷｬﾝｾﾙ");
    for (int radio : {2, 3})
        EXPECT_EQ(dialog.items[radio].style & BS_TYPEMASK, DWORD(BS_AUTORADIOBUTTON)) << radio;
    EXPECT_TRUE(dialog.items[2].style & WS_GROUP);
    EXPECT_FALSE(dialog.items[3].style & WS_GROUP);
    EXPECT_TRUE(dialog.items[4].style & WS_GROUP);
    EXPECT_EQ(dialog.items[4].style & BS_TYPEMASK, DWORD(BS_DEFPUSHBUTTON));
    EXPECT_FALSE(dialog.items[1].style & ES_NUMBER);  // letters for 0x and h
}

// An image of 64 sectors, each starting with its own number.
class GoToDialogOnWine : public ::testing::Test {
protected:
    void SetUp() override
    {
        installWineEditor();
        settings = Settings{};
        settings.fontSize = 2;
        settings.confirmDiscardEdits = 1;
        goToChoice = {"", GoToKind::Byte};
        exe = loadVeldisExe();
        ASSERT_NE(exe, nullptr);
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        image = std::string(folder) + "veldis-goto-test.img";
        std::vector<uint8_t> bytes(64 * 512, 0);
        for (uint32_t k = 0; k < 64; k++) bytes[k * 512] = uint8_t(k);
        FILE* file = std::fopen(image.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        ASSERT_TRUE(openImageFile(image.c_str()));
    }
    void TearDown() override
    {
        FreeLibrary(exe);
        SectorIo::closeImage();
        DeleteFileA(image.c_str());
    }

    void run(DialogSteps steps) { runDialog(exe, "GOTO", goToDialogProc, steps, boxes); }

    static std::string text(HWND dialog)
    {
        char value[GO_TO_TEXT_SIZE] = "";
        GetDlgItemTextA(dialog, IDC_GOTO_TEXT, value, sizeof value);
        return value;
    }
    static bool checked(HWND dialog, int id)
    {
        return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
    }
    // As a click on the radio button and keys typed over the selected text.
    static void choose(HWND dialog, int kind, const char* typed)
    {
        SendDlgItemMessageA(dialog, kind, BM_CLICK, 0, 0);
        HWND box = GetDlgItem(dialog, IDC_GOTO_TEXT);
        SendMessageA(box, EM_SETSEL, 0, -1);
        for (const char* c = typed; *c != '\0'; c++) SendMessageA(box, WM_CHAR, uint8_t(*c), 0);
    }
    static void click(HWND window, int id) { PostMessageA(window, WM_COMMAND, id, 0); }

    int caretOffset() { return editor.cursorLine * 16 + editor.cursorColumn; }

    HMODULE exe = nullptr;
    std::string image;
    std::vector<std::string> boxes;
};

TEST_F(GoToDialogOnWine, OkGoesThereAndTheNextOpeningOffersItAgain)
{
    std::string offered;
    bool byteFirst = false, focused = false;
    run({[&](HWND dialog) {
        offered = text(dialog);
        byteFirst = checked(dialog, IDC_GOTO_BYTE) && !checked(dialog, IDC_GOTO_SECTOR);
        focused = GetFocus() == GetDlgItem(dialog, IDC_GOTO_TEXT);
        choose(dialog, IDC_GOTO_BYTE, "0x4410");
        click(dialog, IDOK);
    }});
    EXPECT_EQ(offered, "");
    EXPECT_TRUE(byteFirst);
    EXPECT_TRUE(focused);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(editor.currentSector, 34u);
    EXPECT_EQ(editor.workBuffer[0], 34);
    EXPECT_EQ(caretOffset(), 0x10);
    EXPECT_EQ(editor.cursorInText, 0);
    EXPECT_EQ(editor.cursorNibble, 0);

    bool sectorOffered = true;
    run({[&](HWND dialog) {
        offered = text(dialog);
        sectorOffered = checked(dialog, IDC_GOTO_SECTOR);
        choose(dialog, IDC_GOTO_SECTOR, "-1Fh");
        click(dialog, IDOK);
    }});
    EXPECT_EQ(offered, "0x4410");
    EXPECT_FALSE(sectorOffered);
    EXPECT_EQ(editor.currentSector, 3u);
    EXPECT_EQ(caretOffset(), 0);

    run({[&](HWND dialog) {
        offered = text(dialog);
        sectorOffered = checked(dialog, IDC_GOTO_SECTOR);
        click(dialog, IDCANCEL);
    }});
    EXPECT_EQ(offered, "-1Fh");
    EXPECT_TRUE(sectorOffered);
    EXPECT_EQ(editor.currentSector, 3u);
}

// A text that is no position, a place before the start or past the end:
// told, and the dialog stays for another try.
TEST_F(GoToDialogOnWine, APlaceNotInTheImageKeepsTheDialogOpen)
{
    struct Case {
        int kind;
        const char* typed;
        MessageId message;
    } cases[] = {
        {IDC_GOTO_BYTE, "0x44zz", MSG_BAD_POSITION},
        {IDC_GOTO_SECTOR, "-1", MSG_BAD_POSITION},
        {IDC_GOTO_SECTOR, "64", MSG_BAD_PARAMETER},
        {IDC_GOTO_BYTE, "8000h", MSG_BAD_PARAMETER},
    };
    for (const Case& c : cases) {
        boxes.clear();
        HWND goTo = nullptr;
        bool stillOpen = false;
        run({[&](HWND dialog) {
                 goTo = dialog;
                 choose(dialog, c.kind, c.typed);
                 click(dialog, IDOK);
             },
             [&](HWND box) {
                 click(box, IDOK);
                 stillOpen = IsWindowVisible(goTo) != FALSE;
                 click(goTo, IDCANCEL);
             }});
        EXPECT_EQ(boxes, std::vector<std::string>{messageText(c.message)}) << c.typed;
        EXPECT_TRUE(stillOpen) << c.typed;
        EXPECT_EQ(editor.currentSector, 0u) << c.typed;
    }
    EXPECT_STREQ(goToChoice.text, "");
}

}  // namespace
