#pragma once

// Menu and accelerator identifiers; the values are fixed by the resources.
enum CommandId : int {
    CMD_SECTOR_READ = 40004,
    CMD_SECTOR_WRITE = 40005,
    CMD_PREV_SECTOR = 40006,
    CMD_NEXT_SECTOR = 40007,
    CMD_SECTOR_FILE_LOAD = 40008,
    CMD_SECTOR_FILE_SAVE = 40009,
    CMD_JUMP_FAT = 40010,
    CMD_JUMP_IPL = 40011,
    CMD_JUMP_DIR = 40012,
    CMD_JUMP_DATA = 40013,
    CMD_ZERO_CLEAR = 40014,
    CMD_REFRESH = 40015,
    CMD_JUMP_LAST = 40019,
    CMD_OPTIONS = 40020,
    CMD_EXIT = 40021,
    CMD_ABOUT = 40022,
    CMD_HELP = 40023,
    CMD_FONT_LARGEST = 40025,
    CMD_FONT_LARGE = 40026,
    CMD_FONT_MEDIUM = 40027,
    CMD_FONT_SMALL = 40028,
    CMD_FONT_SMALLEST = 40029,
    CMD_JUMP_CLUSTER = 40031,
    CMD_EDIT_BYTE = 40033,
    CMD_EDIT_WORD = 40034,
    CMD_EDIT_DWORD = 40035,
    CMD_BACK = 40036,
    CMD_DRIVE_INFO = 40037,
    CMD_REVERT_EDITS = 40039,
    CMD_TOGGLE_KANJI = 40040,
    CMD_IMAGE_SAVE = 40041,
    CMD_IMAGE_RESTORE = 40042,
    CMD_DUMP_TO_FILE = 40044,
    CMD_DUMP_TO_CLIPBOARD = 40045,
    CMD_ALL_DRIVES_INFO = 40046,
    CMD_IMAGE_VERIFY = 40047,
    CMD_FIND = 40048,
    CMD_FIND_NEXT = 40049,
    CMD_OPEN_IMAGE = 40050,
    CMD_UNDO = 40051,
    CMD_REDO = 40052,
    CMD_UNDO_WRITE = 40053,
    CMD_STATUS_BAR = 40054,
    CMD_PARTITION_LIST = 40055,
    CMD_STRUCTURE_VIEW = 40056,
    CMD_NEXT_CLUSTER = 40057,
    CMD_PREV_CLUSTER = 40058,
    CMD_SAVE_AS_FILE = 40059,
    CMD_SELECT_ALL = 40060,
    CMD_COPY_HEX = 40061,
    CMD_COPY_TEXT = 40062,
    CMD_COPY_C_ARRAY = 40063,
    CMD_PASTE_HEX = 40064,
    CMD_FILL = 40065,
    CMD_GO_TO = 40066,
    CMD_DATA_INSPECTOR = 40067,
    CMD_CHECKSUM = 40068,
};

// Enabled and checked state of every command; the window's menu mirrors it,
// and a command that is not enabled is never dispatched.
struct CommandState {
    int id;
    bool enabled;
    bool checked;
};

constexpr int CMD_COUNT = 57;
extern CommandState commandStates[CMD_COUNT];

void resetCommandStates();
// Both tell the platform, which mirrors the change onto the window's menu.
void setCommandEnabled(int id, bool enabled);
void setCommandChecked(int id, bool checked);
bool isCommandEnabled(int id);
bool isCommandChecked(int id);
