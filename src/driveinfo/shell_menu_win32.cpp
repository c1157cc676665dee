#include "driveinfo/shell_menu_win32.h"

#include <shlobj.h>

#include <cctype>
#include <cstring>

namespace {

constexpr int MENU_TEXT_SIZE = 64;
constexpr UINT FIRST_COMMAND = 1;
constexpr UINT LAST_COMMAND = 0x7FFF;

IMalloc* shellAllocator = nullptr;

// A display name as ANSI text, whatever form the shell gave it in.
void strretToText(STRRET& name, LPCITEMIDLIST item, char* out, int size)
{
    out[0] = '\0';
    switch (name.uType) {
    case STRRET_WSTR:
        WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, name.pOleStr, -1, out, size, nullptr, nullptr);
        shellAllocator->Free(name.pOleStr);
        break;
    case STRRET_OFFSET:
        lstrcpynA(out, reinterpret_cast<const char*>(item) + name.uOffset, size);
        break;
    case STRRET_CSTR: lstrcpynA(out, name.cStr, size); break;
    }
    out[size - 1] = '\0';
}

// The root "X:\" as a whole: a folder named after a letter is no drive.
bool isDriveItem(IShellFolder* folder, LPITEMIDLIST item, int drive)
{
    STRRET name{};
    if (FAILED(folder->GetDisplayNameOf(item, SHGDN_FORPARSING, &name))) return false;
    char text[MAX_PATH];
    strretToText(name, item, text, sizeof text);
    return std::toupper(static_cast<unsigned char>(text[0])) == 'A' + drive &&
           std::strcmp(text + 1, ":\\") == 0;
}

// Drives are folders to the shell; both kinds are listed.
LPITEMIDLIST findDriveItem(HWND owner, IShellFolder* computer, int drive)
{
    IEnumIDList* items = nullptr;
    if (computer->EnumObjects(owner, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &items) != S_OK ||
        items == nullptr)
        return nullptr;
    LPITEMIDLIST item = nullptr, found = nullptr;
    while (found == nullptr && items->Next(1, &item, nullptr) == S_OK) {
        if (isDriveItem(computer, item, drive))
            found = item;
        else
            shellAllocator->Free(item);
    }
    items->Release();
    return found;
}

IShellFolder* openMyComputer(HWND owner)
{
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop))) return nullptr;
    LPITEMIDLIST computerId = nullptr;
    IShellFolder* computer = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(owner, CSIDL_DRIVES, &computerId))) {
        desktop->BindToObject(computerId, nullptr, IID_IShellFolder,
                              reinterpret_cast<void**>(&computer));
        shellAllocator->Free(computerId);
    }
    desktop->Release();
    return computer;
}

// The position of the item to carry out: the first whose text is a
// candidate, else one whose canonical verb is the candidates' verb (a shell
// in another language).
int findCommand(IContextMenu* menu, HMENU popup, const MenuCandidates& candidates)
{
    // Read one item at a time, so a menu of any length is scanned whole.
    int count = GetMenuItemCount(popup);
    int found = -1;
    for (int position = 0; found < 0 && position < count; position++) {
        char text[MENU_TEXT_SIZE] = "";
        GetMenuStringA(popup, position, text, MENU_TEXT_SIZE, MF_BYPOSITION);
        const char* item = text;
        if (findMenuCandidate(&item, 1, candidates) == 0) found = position;
    }
    for (int position = 0; found < 0 && candidates.verb != nullptr && position < count; position++) {
        UINT id = GetMenuItemID(popup, position);
        char verb[MENU_TEXT_SIZE] = "";
        if (id < FIRST_COMMAND || id > LAST_COMMAND) continue;
        if (SUCCEEDED(menu->GetCommandString(id - FIRST_COMMAND, GCS_VERBA, nullptr, verb, sizeof verb)) &&
            lstrcmpiA(verb, candidates.verb) == 0)
            found = position;
    }
    return found;
}

void invokeCommand(HWND owner, IContextMenu* menu, UINT id)
{
    CMINVOKECOMMANDINFO command = {};
    command.cbSize = sizeof command;
    command.hwnd = owner;
    command.lpVerb = MAKEINTRESOURCEA(id - FIRST_COMMAND);
    command.nShow = SW_SHOWNORMAL;
    menu->InvokeCommand(&command);
}

bool runItemMenu(HWND owner, IShellFolder* computer, LPITEMIDLIST item,
                 const MenuCandidates& candidates, bool invoke)
{
    IContextMenu* menu = nullptr;
    LPCITEMIDLIST items[] = {item};
    if (FAILED(computer->GetUIObjectOf(owner, 1, items, IID_IContextMenu, nullptr,
                                       reinterpret_cast<void**>(&menu))))
        return false;
    HMENU popup = CreatePopupMenu();
    int found = -1;
    if (popup != nullptr &&
        SUCCEEDED(menu->QueryContextMenu(popup, 0, FIRST_COMMAND, LAST_COMMAND, CMF_EXPLORE)))
        found = findCommand(menu, popup, candidates);
    if (found >= 0 && invoke) invokeCommand(owner, menu, GetMenuItemID(popup, found));
    if (popup != nullptr) DestroyMenu(popup);
    menu->Release();
    return found >= 0;
}

}  // namespace

bool openShellAllocator()
{
    return SUCCEEDED(SHGetMalloc(&shellAllocator));
}

void closeShellAllocator()
{
    if (shellAllocator != nullptr) shellAllocator->Release();
    shellAllocator = nullptr;
}

bool driveContextCommand(HWND owner, int drive, const MenuCandidates& candidates, bool invoke)
{
    if (shellAllocator == nullptr) return false;
    IShellFolder* computer = openMyComputer(owner);
    if (computer == nullptr) return false;
    bool found = false;
    LPITEMIDLIST item = findDriveItem(owner, computer, drive);
    if (item != nullptr) {
        found = runItemMenu(owner, computer, item, candidates, invoke);
        shellAllocator->Free(item);
    }
    computer->Release();
    return found;
}
