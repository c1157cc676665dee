#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "app/platform_win32.h"
#include "dialog_hook.h"
#include "editor/dump_export.h"
#include "editor/editor_state.h"
#include "platform/platform.h"
#include "platform/settings.h"

// The dump on the real clipboard.
namespace {

std::string clipboardBytes(UINT format, size_t size)
{
    if (!OpenClipboard(nullptr)) return "not opened";
    std::string bytes;
    HANDLE data = GetClipboardData(format);
    const char* locked = data == nullptr ? nullptr : static_cast<const char*>(GlobalLock(data));
    if (locked != nullptr && GlobalSize(data) >= size) bytes.assign(locked, size);
    if (locked != nullptr) GlobalUnlock(data);
    CloseClipboard();
    return bytes;
}

class ClipboardOnWine : public ::testing::Test {
protected:
    void SetUp() override
    {
        installWin32Platform();
        mainWindow = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
        resetEditor();
        editor.source = driveSource(0);
        editor.sectorSize = 512;
        editor.lineCount = 32;
        for (int i = 0; i < 512; i++) editor.workBuffer[i] = uint8_t(i * 37 + 11);
        settings.kanji = 1;
        length = buildDumpText(text);
    }
    void TearDown() override { DestroyWindow(mainWindow); }

    char text[DUMP_TEXT_SIZE];
    uint32_t length = 0;
};

TEST_F(ClipboardOnWine, HoldsTheDumpItsZeroAndTheJapaneseLocale)
{
    exportDump(true);
    EXPECT_EQ(clipboardBytes(CF_TEXT, length + 1), std::string(text, length + 1));
    LCID japanese = 0x0411;
    EXPECT_EQ(clipboardBytes(CF_LOCALE, sizeof japanese),
              std::string(reinterpret_cast<const char*>(&japanese), sizeof japanese));
}

// Another window holds the clipboard open: the export gives up after its
// tries, claims nothing, and what the clipboard held stays.
TEST_F(ClipboardOnWine, AClipboardHeldOpenIsLeftAlone)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL before = GlobalAlloc(GMEM_MOVEABLE, 7);
    std::memcpy(GlobalLock(before), "before", 7);
    GlobalUnlock(before);
    SetClipboardData(CF_TEXT, before);
    CloseClipboard();

    HWND holder = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                nullptr);
    ASSERT_TRUE(OpenClipboard(holder));
    BoxCapture capture(IDOK);
    exportDump(true);
    CloseClipboard();
    DestroyWindow(holder);
    EXPECT_TRUE(capture.boxes.empty());
    EXPECT_EQ(clipboardBytes(CF_TEXT, 7), std::string("before", 7));
}

// What the program puts on the clipboard it reads back, as another
// program's text, cut to the room given; no text reads as empty.
TEST_F(ClipboardOnWine, TextReadBackWithinItsRoom)
{
    char read[8] = "x";
    ASSERT_EQ(platform.setClipboardText("41 42\r\n43", 9), ClipboardResult::Done);
    ASSERT_EQ(platform.getClipboardText(read, sizeof read), ClipboardResult::Done);
    EXPECT_STREQ(read, "41 42\r\n");
    char whole[16];
    ASSERT_EQ(platform.getClipboardText(whole, sizeof whole), ClipboardResult::Done);
    EXPECT_STREQ(whole, "41 42\r\n43");

    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    ASSERT_EQ(platform.getClipboardText(whole, sizeof whole), ClipboardResult::Done);
    EXPECT_STREQ(whole, "");

    HWND holder = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                nullptr);
    ASSERT_TRUE(OpenClipboard(holder));
    EXPECT_EQ(platform.getClipboardText(whole, sizeof whole), ClipboardResult::Busy);
    CloseClipboard();
    DestroyWindow(holder);
    // Nothing is left open: another program opens it at once.
    EXPECT_TRUE(OpenClipboard(nullptr));
    CloseClipboard();
}

}  // namespace
