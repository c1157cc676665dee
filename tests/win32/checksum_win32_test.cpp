#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/platform_win32.h"
#include "dialog_hook.h"
#include "dialog_template.h"
#include "editor/cursor.h"
#include "editor/editor_state.h"
#include "editor/navigation.h"
#include "image/checksum.h"
#include "image/checksum_dialog_win32.h"
#include "platform/crc32.h"
#include "platform/platform.h"
#include "platform/settings.h"
#include "res/resource.h"
#include "wine_editor.h"
#include "wine_paths.h"

// The system's digests through CryptoAPI as Wine offers it, and the CHECKSUM
// dialog over the floppy A: on a loop device (the image suite's drives).
namespace {

std::string hexOf(const uint8_t* bytes, uint32_t size)
{
    std::string hex;
    char pair[3];
    for (uint32_t i = 0; i < size; i++) {
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        hex += pair;
    }
    return hex;
}

uint32_t digestSize(DigestKind kind)
{
    return kind == DigestKind::Md5 ? 16 : kind == DigestKind::Sha1 ? 20 : 32;
}

// The digest of `repeat` copies of `input`, fed a copy at a time; empty
// where the system gave none.
std::string digestOf(DigestKind kind, const std::string& input, uint32_t repeat = 1)
{
    void* digest = platform.beginDigest(kind);
    if (digest == nullptr) return "";
    bool fed = true;
    for (uint32_t k = 0; k < repeat && fed; k++)
        fed = platform.addToDigest(digest, input.data(), uint32_t(input.size()));
    uint8_t out[32];
    bool ended = platform.endDigest(digest, fed ? out : nullptr, digestSize(kind));
    return fed && ended ? hexOf(out, digestSize(kind)) : "";
}

const char NIST_448[] = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";

// The published test vectors of the three digests.
TEST(Digests, PublishedVectors)
{
    installWin32Platform();
    const std::string thousand(1000, 'a');
    struct {
        DigestKind kind;
        std::string input;
        uint32_t repeat;
        const char* hex;
    } rows[] = {
        {DigestKind::Md5, "", 1, "d41d8cd98f00b204e9800998ecf8427e"},
        {DigestKind::Md5, "abc", 1, "900150983cd24fb0d6963f7d28e17f72"},
        {DigestKind::Md5, NIST_448, 1, "8215ef0796a20bcaaae116d3876c664a"},
        {DigestKind::Md5, thousand, 1000, "7707d6ae4e027c70eea2a935c2296f21"},
        {DigestKind::Sha1, "", 1, "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {DigestKind::Sha1, "abc", 1, "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {DigestKind::Sha1, NIST_448, 1, "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {DigestKind::Sha1, thousand, 1000, "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
        {DigestKind::Sha256, "", 1,
         "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {DigestKind::Sha256, "abc", 1,
         "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {DigestKind::Sha256, NIST_448, 1,
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {DigestKind::Sha256, thousand, 1000,
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (auto& row : rows)
        EXPECT_EQ(digestOf(row.kind, row.input, row.repeat), row.hex)
            << int(row.kind) << " of " << row.repeat << " x " << row.input.substr(0, 8);
}

// A digest asked into another size than its own is no digest.
TEST(Digests, AnotherSizeIsNone)
{
    installWin32Platform();
    void* digest = platform.beginDigest(DigestKind::Sha256);
    ASSERT_NE(digest, nullptr);
    ASSERT_TRUE(platform.addToDigest(digest, "abc", 3));
    uint8_t out[32];
    EXPECT_FALSE(platform.endDigest(digest, out, 20));
    digest = platform.beginDigest(DigestKind::Md5);
    ASSERT_NE(digest, nullptr);
    EXPECT_FALSE(platform.endDigest(digest, nullptr, 0));  // let go unfinished
}

// The dialog, control by control: kind, id, text, rectangle in dialog
// units; the drive group is the image save's.
TEST(ChecksumDialog, TemplateOfTheExe)
{
    HMODULE exe = loadVeldisExe();
    ASSERT_NE(exe, nullptr);
    DialogTemplate dialog;
    ASSERT_TRUE(readDialogTemplate(exe, "CHECKSUM", dialog));
    FreeLibrary(exe);
    EXPECT_EQ(dialog.title, "チェックサム");
    EXPECT_EQ(dialog.fontPoints, 9);
    EXPECT_EQ(dialog.fontFace, "ＭＳ Ｐゴシック");
    EXPECT_EQ(dialog.style & (DS_MODALFRAME | WS_CAPTION | WS_SYSMENU),
              DWORD(DS_MODALFRAME | WS_CAPTION | WS_SYSMENU));
    struct Control {
        const char* className;
        int id;
        const char* text;
        RECT box;    // x, y, width, height
        DWORD type;  // a button's type, or style bits that must be set
        bool group, tab;  // the radio buttons are one group, their frame after them another
    };
    const DWORD LIST = CBS_DROPDOWNLIST | CBS_SORT, NUMBER = ES_NUMBER | ES_RIGHT;
    const DWORD RESULT = ES_MULTILINE | ES_READONLY | WS_HSCROLL | WS_VSCROLL;
    const Control expected[] = {
        {"Button", -1, "対象", {218, 7, 75, 78}, BS_GROUPBOX, false, false},
        {"Button", IDC_CHECKSUM_SELECTION, "選択範囲", {226, 24, 62, 10}, BS_AUTORADIOBUTTON,
         true, true},
        {"Button", IDC_CHECKSUM_SECTOR, "表示中のｾｸﾀ", {226, 44, 62, 10}, BS_AUTORADIOBUTTON,
         false, false},
        {"Button", IDC_CHECKSUM_DRIVE, "ﾄﾞﾗｲﾌﾞの範囲", {226, 64, 62, 10}, BS_AUTORADIOBUTTON,
         false, false},
        {"Button", -1, "ドライブ", {7, 7, 204, 78}, BS_GROUPBOX, true, false},
        {"ComboBox", IDC_IMAGE_DRIVE, "", {25, 24, 62, 59}, LIST, false, true},
        {"ComboBox", IDC_IMAGE_RANGE, "", {101, 23, 99, 59}, LIST, false, true},
        {"Static", -1, "開始セクタ", {26, 48, 45, 12}, 0, false, false},
        {"Edit", IDC_IMAGE_START, "", {30, 63, 74, 13}, NUMBER, false, true},
        {"Static", -1, "～", {110, 65, 9, 12}, 0, false, false},
        {"Static", -1, "セクタ数", {119, 49, 45, 12}, 0, false, false},
        {"Edit", IDC_IMAGE_COUNT, "", {125, 62, 75, 13}, NUMBER, false, true},
        {"msctls_progress32", IDC_IMAGE_PROGRESS, "", {7, 92, 286, 13}, 0, false, false},
        {"Edit", IDC_CHECKSUM_RESULT, "", {7, 111, 286, 110}, RESULT, false, true},
        {"Button", IDOK, "計算", {134, 228, 50, 14}, BS_DEFPUSHBUTTON, true, true},
        {"Button", IDC_CHECKSUM_COPY, "ｺﾋﾟｰ", {188, 228, 50, 14}, BS_PUSHBUTTON, false, true},
        {"Button", IDCANCEL, "閉じる", {243, 228, 50, 14}, BS_PUSHBUTTON, false, true},
    };
    ASSERT_EQ(dialog.items.size(), std::size(expected));
    for (size_t i = 0; i < dialog.items.size(); i++) {
        const DialogItem& item = dialog.items[i];
        const Control& control = expected[i];
        SCOPED_TRACE(control.text + std::to_string(control.id));
        EXPECT_EQ(lstrcmpiA(item.className.c_str(), control.className), 0) << item.className;
        EXPECT_EQ(item.id == 0xFFFF ? -1 : item.id, control.id);
        EXPECT_EQ(item.text, control.text);
        EXPECT_EQ(item.box.left, control.box.left);
        EXPECT_EQ(item.box.top, control.box.top);
        EXPECT_EQ(item.box.right, control.box.left + control.box.right);
        EXPECT_EQ(item.box.bottom, control.box.top + control.box.bottom);
        if (item.className == "Button") {
            EXPECT_EQ(item.style & BS_TYPEMASK, control.type);
        } else if (item.className == "ComboBox") {
            EXPECT_EQ(item.style & (3 | CBS_SORT), control.type);
        } else {
            EXPECT_EQ(item.style & control.type, control.type);
        }
        if (item.className != "Static") {  // each label starts a group of its own
            EXPECT_EQ((item.style & WS_GROUP) != 0, control.group);
        }
        EXPECT_EQ((item.style & WS_TABSTOP) != 0, control.tab);
    }
}

std::vector<uint8_t> fileBytes(const std::string& path, uint64_t offset, uint64_t count)
{
    std::vector<uint8_t> bytes(size_t(count), 0);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return {};
    _fseeki64(file, int64_t(offset), SEEK_SET);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
    return bytes;
}

// Through the program's own reader, which the clipboard tests check.
std::string clipboardText()
{
    static char text[4096];
    return platform.getClipboardText(text, sizeof text) == ClipboardResult::Done ? text : "";
}

class ChecksumOnWine : public ::testing::Test {
protected:
    void SetUp() override
    {
        installWineEditor();
        settings = Settings{};
        veldis = loadVeldisExe();
        ASSERT_NE(veldis, nullptr);
        mainWindow = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
        device = winePathFromEnvironment("VELDIS_IMAGE_A");
    }
    void TearDown() override
    {
        DestroyWindow(mainWindow);
        FreeLibrary(veldis);
    }

    // The four sums' lines, as sha256sum prints its.
    static std::string expectedText(const std::vector<uint8_t>& bytes, const std::string& name)
    {
        char crc[9];
        std::snprintf(crc, sizeof crc, "%08x", crc32(0, bytes.data(), bytes.size()));
        std::string data(bytes.begin(), bytes.end());
        return "# CRC-32\r\n" + std::string(crc) + "  " + name + "\r\n# MD5\r\n" +
               digestOf(DigestKind::Md5, data) + "  " + name + "\r\n# SHA-1\r\n" +
               digestOf(DigestKind::Sha1, data) + "  " + name + "\r\n# SHA-256\r\n" +
               digestOf(DigestKind::Sha256, data) + "  " + name + "\r\n";
    }

    static std::string itemText(HWND dialog, int id)
    {
        char text[CHECKSUM_TEXT_SIZE] = "";
        GetDlgItemTextA(dialog, id, text, sizeof text);
        return text;
    }

    static bool enabled(HWND dialog, int id)
    {
        return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
    }

    HMODULE veldis = nullptr;
    std::string device;
    std::vector<std::string> boxes;
};

// Nothing shown: only a drive range can be summed. The whole floppy, summed
// by 計算, is its device's bytes; ｺﾋﾟｰ puts the result on the clipboard.
TEST_F(ChecksumOnWine, ADriveRangeFromTheDialog)
{
    std::vector<bool> before, after;
    std::string result, copied;
    runDialog(veldis, "CHECKSUM", checksumDialogProc, {[&](HWND dialog) {
                  for (int id : {IDC_CHECKSUM_SELECTION, IDC_CHECKSUM_SECTOR, IDC_CHECKSUM_DRIVE,
                                 IDC_IMAGE_DRIVE, IDC_IMAGE_START, IDC_CHECKSUM_COPY})
                      before.push_back(enabled(dialog, id));
                  before.push_back(IsDlgButtonChecked(dialog, IDC_CHECKSUM_DRIVE) == BST_CHECKED);
                  SendDlgItemMessageA(dialog, IDC_IMAGE_DRIVE, CB_SELECTSTRING, WPARAM(-1),
                                      reinterpret_cast<LPARAM>("A:"));
                  SendDlgItemMessageA(dialog, IDC_IMAGE_RANGE, CB_SETCURSEL, 0, 0);
                  SendMessageA(dialog, WM_COMMAND, IDOK, 0);
                  result = itemText(dialog, IDC_CHECKSUM_RESULT);
                  after.push_back(enabled(dialog, IDC_CHECKSUM_COPY));
                  after.push_back(enabled(dialog, IDOK));
                  SendMessageA(dialog, WM_COMMAND, IDC_CHECKSUM_COPY, 0);
                  copied = clipboardText();
                  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
              }},
              boxes);
    EXPECT_EQ(before, (std::vector<bool>{false, false, true, true, false, false, true}));
    EXPECT_EQ(after, (std::vector<bool>{true, true}));
    EXPECT_TRUE(boxes.empty());
    std::vector<uint8_t> floppy = fileBytes(device, 0, 1440 * 1024);
    ASSERT_EQ(floppy.size(), 1440u * 1024);
    EXPECT_EQ(result, expectedText(floppy, "A_0-2879.bin"));
    EXPECT_EQ(copied, result);
}

// With a sector shown, the sector is offered first and the drive's controls
// wait for their radio button; the sum is of the sector as shown. With
// bytes selected, they are.
TEST_F(ChecksumOnWine, TheSectorShownAndASelectionFromTheDialog)
{
    ASSERT_TRUE(loadSector(driveSource(0), 34));
    std::vector<bool> choices, drive;
    std::string result;
    runDialog(veldis, "CHECKSUM", checksumDialogProc, {[&](HWND dialog) {
                  for (int id : {IDC_CHECKSUM_SELECTION, IDC_CHECKSUM_SECTOR, IDC_CHECKSUM_DRIVE,
                                 IDC_IMAGE_DRIVE, IDC_IMAGE_RANGE})
                      choices.push_back(enabled(dialog, id));
                  choices.push_back(IsDlgButtonChecked(dialog, IDC_CHECKSUM_SECTOR) == BST_CHECKED);
                  SendMessageA(dialog, WM_COMMAND, IDOK, 0);
                  result = itemText(dialog, IDC_CHECKSUM_RESULT);
                  CheckRadioButton(dialog, IDC_CHECKSUM_SELECTION, IDC_CHECKSUM_DRIVE,
                                   IDC_CHECKSUM_DRIVE);
                  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CHECKSUM_DRIVE, BN_CLICKED),
                               LPARAM(GetDlgItem(dialog, IDC_CHECKSUM_DRIVE)));
                  for (int id : {IDC_IMAGE_DRIVE, IDC_IMAGE_RANGE})
                      drive.push_back(enabled(dialog, id));
                  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
              }},
              boxes);
    EXPECT_EQ(choices, (std::vector<bool>{false, true, true, false, false, true}));
    EXPECT_EQ(drive, (std::vector<bool>{true, true}));
    EXPECT_EQ(result, expectedText(fileBytes(device, 34 * 512, 512), "sector_34.bin"));

    // A selection is offered first.
    selectBytes(0x10, 0x1F);
    bool offered = false;
    runDialog(veldis, "CHECKSUM", checksumDialogProc, {[&](HWND dialog) {
                  offered = enabled(dialog, IDC_CHECKSUM_SELECTION) &&
                            IsDlgButtonChecked(dialog, IDC_CHECKSUM_SELECTION) == BST_CHECKED;
                  SendMessageA(dialog, WM_COMMAND, IDOK, 0);
                  result = itemText(dialog, IDC_CHECKSUM_RESULT);
                  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
              }},
              boxes);
    EXPECT_TRUE(offered);
    EXPECT_EQ(result,
              expectedText(fileBytes(device, 34 * 512 + 0x10, 16), "selection_0010-001F.bin"));
}

}  // namespace
