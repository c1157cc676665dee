#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/platform_win32.h"
#include "dialog_hook.h"
#include "dialog_template.h"
#include "disk/sector_routes_win32.h"
#include "editor/editor_state.h"
#include "image/image_dialogs_win32.h"
#include "image/image_save.h"
#include "platform/commands.h"
#include "platform/messages.h"
#include "platform/settings.h"
#include "res/resource.h"
#include "volume/boot_sector.h"
#include "wine_editor.h"
#include "wine_paths.h"

// The drives come from the CTest entry, on loop devices through the NT
// route: A: a FAT12 floppy, B: one formatted with two sectors a cluster, D:
// a FAT16 volume.
namespace {

constexpr int DRIVE_A = 0;
constexpr uint32_t FLOPPY_BYTES = 1440 * 1024;

std::vector<uint8_t> fileBytes(const std::string& path, uint64_t offset = 0,
                               uint64_t count = UINT64_MAX)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return {};
    _fseeki64(file, 0, SEEK_END);
    uint64_t size = uint64_t(_ftelli64(file));
    std::vector<uint8_t> bytes(offset < size ? size_t(std::min(count, size - offset)) : 0);
    _fseeki64(file, int64_t(offset), SEEK_SET);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
    return bytes;
}

// Counts the volume devices the program opens, through its import of CreateFileA.
int volumeOpens = 0;
decltype(&CreateFileA) realCreateFileA = nullptr;

HANDLE WINAPI countingCreateFileA(LPCSTR path, DWORD access, DWORD share,
                                  LPSECURITY_ATTRIBUTES security, DWORD disposition,
                                  DWORD flags, HANDLE model)
{
    if (std::strncmp(path, "\\\\.\\", 4) == 0) volumeOpens++;
    return realCreateFileA(path, access, share, security, disposition, flags, model);
}

// Points this exe's import of CreateFileA at the counter.
void countVolumeOpens()
{
    if (realCreateFileA != nullptr) return;
    auto base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    FARPROC target = GetProcAddress(GetModuleHandleA("KERNEL32.DLL"), "CreateFileA");
    for (; module->Name != 0; module++) {
        auto slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; slot->u1.Function != 0; slot++) {
            if (reinterpret_cast<FARPROC>(slot->u1.Function) != target) continue;
            DWORD old;
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &old);
            realCreateFileA =
                reinterpret_cast<decltype(&CreateFileA)>(reinterpret_cast<void*>(target));
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(countingCreateFileA);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, old, &old);
        }
    }
}

class ImageOnWine : public ::testing::Test {
protected:
    void SetUp() override
    {
        installWineEditor();
        settings = Settings{};
        veldis = loadVeldisExe();
        ASSERT_NE(veldis, nullptr);
        countVolumeOpens();
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        file = std::string(folder) + "veldis-image-test.img";
        DeleteFileA(file.c_str());
    }
    void TearDown() override
    {
        FreeLibrary(veldis);
        DeleteFileA(file.c_str());
    }

    void run(const char* name, DLGPROC procedure, DialogSteps steps)
    {
        runDialog(veldis, name, procedure, steps, boxes);
    }
    // Chooses drive, list entry and file, executes, and leaves once the run is done.
    void execute(const char* name, DLGPROC procedure, const char* drive, int entry,
                 DialogSteps answers)
    {
        HWND image = nullptr;
        answers.push_front([&](HWND dialog) {
            image = dialog;
            SendDlgItemMessageA(dialog, IDC_IMAGE_DRIVE, CB_SELECTSTRING, WPARAM(-1),
                                reinterpret_cast<LPARAM>(drive));
            SendDlgItemMessageA(dialog, IDC_IMAGE_RANGE, CB_SETCURSEL, entry, 0);
            SetDlgItemTextA(dialog, IDC_IMAGE_FILE, file.c_str());
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        });
        std::function<void(HWND)> last = answers.back();
        answers.back() = [&, last](HWND box) {
            last(box);
            PostMessageA(image, WM_COMMAND, IDCANCEL, 0);  // reaches the dialog once the box is gone
        };
        run(name, procedure, answers);
    }
    static std::function<void(HWND)> answer(int button)
    {
        return [button](HWND box) { PostMessageA(box, WM_COMMAND, button, 0); };
    }

    HMODULE veldis = nullptr;
    std::string file;
    std::vector<std::string> boxes;
};

TEST_F(ImageOnWine, AWholeFloppyIsSavedInOneHoldOfTheVolume)
{
    std::vector<uint8_t> pattern(18 * 512);
    for (size_t i = 0; i < pattern.size(); i++) pattern[i] = uint8_t(i * 13 + i / 512);
    ASSERT_EQ(ntTransfer(SectorOp::Write, DRIVE_A, 18, 2000, pattern.data()), 0);
    volumeOpens = 0;
    execute("IMAGESAVE", imageSaveDialogProc, "A:", 0, {answer(IDOK)});
    EXPECT_EQ(boxes, std::vector<std::string>{messageText(MSG_DONE)});
    std::vector<uint8_t> saved = fileBytes(file);
    ASSERT_EQ(saved.size(), FLOPPY_BYTES);
    EXPECT_TRUE(saved == fileBytes(winePathFromEnvironment("VELDIS_IMAGE_A")));
    EXPECT_EQ(volumeOpens, 3);  // the device's size, the layout's sector 0, then the run
}

TEST_F(ImageOnWine, TheDataAreaOfAFat16VolumeIsItsSlice)
{
    std::string device = winePathFromEnvironment("VELDIS_IMAGE_D");
    std::vector<uint8_t> boot = fileBytes(device, 0, 512);
    ASSERT_EQ(boot.size(), 512u) << device;
    VolumeLayout layout = parseBootSector(boot.data(), false);
    ASSERT_EQ(layout.fatType, 16u);
    execute("IMAGESAVE", imageSaveDialogProc, "D:", 4, {answer(IDOK)});
    EXPECT_EQ(boxes, std::vector<std::string>{messageText(MSG_DONE)});
    EXPECT_TRUE(fileBytes(file) ==
                fileBytes(device, uint64_t(layout.dataStart) * 512, layout.dataSectors * 512ull));
}

TEST_F(ImageOnWine, ARestoreOntoAnotherLayoutAsksFirst)
{
    execute("IMAGESAVE", imageSaveDialogProc, "A:", 0, {answer(IDOK)});
    std::string target = winePathFromEnvironment("VELDIS_IMAGE_B");
    std::vector<uint8_t> before = fileBytes(target), image = fileBytes(file);
    ASSERT_NE(before, image);

    // The overwrite question first, naming the drive; then the layout's.
    boxes.clear();
    execute("IMAGELOAD", imageRestoreDialogProc, "B:", 0, {answer(IDOK), answer(IDCANCEL)});
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].rfind("Ｂドライブ", 0), 0u) << boxes[0];
    EXPECT_EQ(boxes[1], messageText(MSG_LAYOUT_MISMATCH));
    EXPECT_TRUE(fileBytes(target) == before);

    boxes.clear();
    volumeOpens = 0;
    execute("IMAGELOAD", imageRestoreDialogProc, "B:", 0,
            {answer(IDOK), answer(IDOK), answer(IDOK)});
    EXPECT_EQ(std::vector<std::string>(boxes.begin() + 1, boxes.end()),
              (std::vector<std::string>{messageText(MSG_LAYOUT_MISMATCH), messageText(MSG_DONE)}));
    EXPECT_TRUE(fileBytes(target) == image);
    EXPECT_EQ(volumeOpens, 3);
}

TEST_F(ImageOnWine, TheUserRangeFieldsFollowTheList)
{
    imageSaveStart = 100, imageSaveCount = 7;
    std::vector<std::string> entries;
    std::vector<bool> enabledBefore, enabledAfter;
    std::string start, count;
    run("IMAGESAVE", imageSaveDialogProc, {[&](HWND dialog) {
            HWND list = GetDlgItem(dialog, IDC_IMAGE_RANGE);
            for (int i = 0; i < SendMessageA(list, CB_GETCOUNT, 0, 0); i++) {
                char entry[32] = "";
                SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry));
                entries.push_back(entry);
            }
            auto fieldsEnabled = [&](std::vector<bool>& out) {
                for (int id : {IDC_IMAGE_START, IDC_IMAGE_COUNT})
                    out.push_back(IsWindowEnabled(GetDlgItem(dialog, id)));
            };
            fieldsEnabled(enabledBefore);
            SendMessageA(list, CB_SETCURSEL, 5, 0);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_IMAGE_RANGE, CBN_SELCHANGE),
                         LPARAM(list));
            fieldsEnabled(enabledAfter);
            char text[16] = "";
            GetDlgItemTextA(dialog, IDC_IMAGE_START, text, sizeof text);
            start = text;
            GetDlgItemTextA(dialog, IDC_IMAGE_COUNT, text, sizeof text);
            count = text;
            SetDlgItemTextA(dialog, IDC_IMAGE_START, "2000");
            SetDlgItemTextA(dialog, IDC_IMAGE_COUNT, "4294967296");  // past 32 bits: kept whole
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }});
    EXPECT_EQ(entries, (std::vector<std::string>{"ドライブ全体", "ＩＰＬ領域", "ＦＡＴ領域",
                                                 "ＤＩＲ領域", "ＤＡＴＡ領域", "ユーザ指定"}));
    EXPECT_EQ(enabledBefore, (std::vector<bool>{false, false}));
    EXPECT_EQ(enabledAfter, (std::vector<bool>{true, true}));
    EXPECT_EQ(start + "," + count, "100,7");
    EXPECT_EQ(imageSaveStart, 2000u);
    EXPECT_EQ(imageSaveCount, 4294967296u);
}

// Outside a run each transfer opens the volume; inside, none does.
TEST_F(ImageOnWine, ARunHoldsTheVolumeForItsTransfers)
{
    std::vector<uint8_t> buffer(36 * 512);
    volumeOpens = 0;
    ASSERT_EQ(SectorIo::transfer(SectorOp::Read, driveSource(DRIVE_A), 1, 0, buffer.data()), 0);
    ASSERT_EQ(SectorIo::transfer(SectorOp::Read, driveSource(DRIVE_A), 36, 36, buffer.data()), 0);
    EXPECT_EQ(volumeOpens, 2);

    ASSERT_TRUE(SectorIo::beginRun(SectorOp::Read, driveSource(DRIVE_A), 512, true));
    for (uint32_t first = 0; first < 2880; first += 36)
        ASSERT_EQ(SectorIo::transfer(SectorOp::Read, driveSource(DRIVE_A), 36, first, buffer.data()), 0);
    EXPECT_EQ(SectorIo::transfer(SectorOp::Read, driveSource(DRIVE_A), 36, 2880, buffer.data()), 1);
    SectorIo::endRun(false);
    EXPECT_EQ(volumeOpens, 3);

    // Sized for other sectors than the device's, a run never starts.
    EXPECT_FALSE(SectorIo::beginRun(SectorOp::Read, driveSource(DRIVE_A), 2048, true));
    EXPECT_EQ(SectorIo::transfer(SectorOp::Read, driveSource(DRIVE_A), 1, 0, buffer.data()), 0);
    EXPECT_EQ(volumeOpens, 5);
}

}  // namespace
