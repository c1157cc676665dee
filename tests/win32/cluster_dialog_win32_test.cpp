#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/platform_win32.h"
#include "dialog_hook.h"
#include "dialog_template.h"
#include "editor/cluster_dialog_win32.h"
#include "editor/editor_state.h"
#include "res/resource.h"

namespace {

TEST(ClusterDialog, TemplateOfTheExe)
{
    HMODULE exe = loadVeldisExe();
    DialogTemplate dialog;
    ASSERT_TRUE(readDialogTemplate(exe, "CLUSTER", dialog));
    FreeLibrary(exe);
    EXPECT_EQ(dialog.title, "クラスタの指定");
    EXPECT_EQ(dialog.fontFace, "ＭＳ Ｐゴシック");
    std::vector<std::string> texts;
    for (const DialogItem& item : dialog.items) texts.push_back(item.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"クラスタ", "", "OK", "ｷｬﾝｾﾙ"}));
    EXPECT_EQ(dialog.items[1].id, IDC_CLUSTER_NUMBER);
    EXPECT_TRUE(dialog.items[1].style & ES_NUMBER);
}

// The entry under the cursor proposes its cluster; OK follows the text.
TEST(ClusterDialog, ProposesTheEntryAndOpensOkForClustersInTheVolume)
{
    installWin32Platform();
    resetEditor();
    editor.source = driveSource(0);
    editor.sectorSize = 512;
    editor.lineCount = 32;
    editor.cursorLine = 9;  // the entry of lines 8 and 9
    editor.workBuffer[4 * 32 + 26] = 0x21;
    editorLayout = VolumeLayout{};
    editorLayout.fatType = 12;
    editorLayout.totalSectors = 2880;
    editorLayout.sectorsPerCluster = 1;
    editorLayout.fatCount = 2;
    editorLayout.dataStart = 33;
    editorLayout.dataSectors = 2847;
    editorWindow = {0, -1, editorLayout, true};
    std::string proposed;
    std::vector<bool> okEnabled;
    std::vector<std::string> boxes;
    HMODULE exe = loadVeldisExe();
    runDialog(exe, "CLUSTER", clusterDialogProc, {[&](HWND dialog) {
                  char text[16] = "";
                  GetDlgItemTextA(dialog, IDC_CLUSTER_NUMBER, text, sizeof text);
                  proposed = text;
                  for (const char* typed : {"33", "2848", "2849", "1", "", "4294967296"}) {
                      SetDlgItemTextA(dialog, IDC_CLUSTER_NUMBER, typed);
                      okEnabled.push_back(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
                  }
                  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
              }},
              boxes);
    FreeLibrary(exe);
    EXPECT_EQ(proposed, "33");
    EXPECT_EQ(okEnabled, (std::vector<bool>{true, true, false, false, false, false}));
}

}  // namespace
