#pragma once

// Index into the message table. Index 5 has no message.
enum MessageId : int {
    MSG_OS_UNSUPPORTED = 0,
    MSG_NO_ADMIN_RIGHTS = 1,
    MSG_NO_FILE = 2,
    MSG_NO_DRIVE = 3,
    MSG_DRIVE_UNSUPPORTED = 4,
    MSG_BAD_PARAMETER = 6,
    MSG_SECTOR_WRITE_ERROR = 7,
    MSG_SECTOR_READ_ERROR = 8,
    MSG_FILE_OPEN_ERROR = 9,
    MSG_FILE_WRITE_ERROR = 10,
    MSG_FILE_READ_ERROR = 11,
    MSG_OUT_OF_MEMORY = 12,
    MSG_NTFS_NOT_ALLOWED = 13,
    MSG_FILE_EXISTS = 14,
    MSG_WRITE_EDITS = 15,
    MSG_DISCARD_EDITS = 16,
    MSG_WRITE_CHANGES = 17,
    MSG_LAYOUT_MISMATCH = 18,
    MSG_DONE = 19,
    MSG_SECTOR_CHANGED = 20,
    MSG_RUN_STOPPED = 21,
    MSG_SECTORS_WRITTEN = 22,  // a format: the first and last sector written (64 bits)
    MSG_NOTHING_WRITTEN = 23,
    MSG_IMAGE_ON_TARGET = 24,
    MSG_RESTORE_OVERWRITE = 25,  // a format: the drive, the first and last sector, the bytes
    MSG_SECTOR_FILE_SIZE = 26,   // a format: the file's size and the sector's
    MSG_IMAGE_DIFFERS = 27,      // a format: the sector
    MSG_SECTOR_UNREADABLE = 28,  // a format: the sector
    MSG_NOT_CHECKED = 29,
    MSG_IMAGE_MATCHES = 30,  // a format: the first and last sector compared, their count
    MSG_NOT_FOUND = 31,
    MSG_SEARCH_UNREADABLE = 32,  // a format: the sector
    MSG_IMAGE_TOO_SHORT = 33,
    MSG_IMAGE_READ_ONLY = 34,
    MSG_UNDO_WRITE = 35,          // a format: the drive, the sector
    MSG_CHANGED_SINCE_WRITE = 36, // a format: the sector
    MSG_WRITE_UNDONE = 37,        // a format: the sector
    MSG_OTHER_MEDIUM = 38,        // a format: the drive or file, the sector
    MSG_DEVICE_PATH = 39,
    MSG_IMAGE_NOT_SECTORS = 40,   // a format: the file's size, the sector's
    MSG_IMAGE_SIZE_DIFFERS = 41,  // a format: what the image holds, the range's sectors
    MSG_MANUAL_UNOPENED = 42,     // a format: the manual's path
    MSG_TABLE_SECTOR_WRITE = 43,  // a format: the sector, what table it holds
    MSG_GPT_FROM_BACKUP = 44,     // a format: the disk or file
    MSG_GPT_DAMAGED = 45,         // a format: the disk or file
    MSG_NO_NEXT_CLUSTER = 46,     // a format: the cluster, why
    MSG_NO_PREVIOUS_CLUSTER = 47, // a format: the cluster
    MSG_NO_FILE_ENTRY = 48,
    MSG_FILE_CHAIN_BROKEN = 49,   // a format: why, the bytes saved, the file's size
    MSG_RECOVER_ON_SOURCE = 50,
    MSG_PASTE_NOT_HEX = 51,
    MSG_PASTE_PAST_END = 52,  // a format: the bytes pasted, the bytes from the caret to the end
    MSG_FILL_NOT_HEX = 53,
    MSG_BAD_POSITION = 54,
    MSG_RESCUE_ASK = 55,         // a format: the sector
    MSG_RESCUE_DONE = 56,        // a format: the sectors not read, the map's path
    MSG_RESCUE_RETRY = 57,       // a format: the map's path, the sectors not read
    MSG_RETRY_DONE = 58,         // a format: the sectors read now, those still not, the map's path
    MSG_MAP_UNREADABLE = 59,     // a format: the map's path
    MSG_MAP_KEPT = 60,           // a format: the map's path
    MSG_RESTORE_UNREAD = 61,     // a format: the sectors never read, the map's path
    MSG_IMAGE_MATCHES_EXCEPT = 62,  // a format: first, last, compared, not compared, the map's path
};

constexpr int MSG_COUNT = 63;

enum class MessageKind {
    Error,
    Warning,
    Info,
    ConfirmOkCancel,
    AskYesNo,
    AskYesNoCancel,
};

// Message box answers, as MessageBoxA returns them.
constexpr int ANSWER_OK = 1;
constexpr int ANSWER_CANCEL = 2;
constexpr int ANSWER_YES = 6;
constexpr int ANSWER_NO = 7;

// MessageBoxA style bits, as Windows numbers them.
constexpr unsigned BOX_OK = 0x0;
constexpr unsigned BOX_OKCANCEL = 0x1;
constexpr unsigned BOX_YESNOCANCEL = 0x3;
constexpr unsigned BOX_YESNO = 0x4;
constexpr unsigned BOX_ICONERROR = 0x10;
constexpr unsigned BOX_ICONWARNING = 0x30;
constexpr unsigned BOX_ICONINFORMATION = 0x40;
constexpr unsigned BOX_DEFBUTTON2 = 0x100;
constexpr unsigned BOX_DEFBUTTON3 = 0x200;
constexpr unsigned BOX_TASKMODAL = 0x2000;

extern const char* const MESSAGE_CAPTION;

const char* messageText(MessageId id);
MessageKind messageKind(MessageId id);
unsigned messageStyle(MessageKind kind);

// Shows the text of `id` in a box without owner and returns the button pressed.
int showMessage(MessageId id, MessageKind kind);
// A text made from a message's format, with a line of `detail` (null: none)
// under it.
int showTextWithDetail(const char* text, MessageKind kind, const char* detail);

// Asks the question `id` and tells whether its command goes ahead: only OK or
// Yes does. Every question here guards a write or a loss, so a box that
// failed to appear (0) never gives consent.
bool askToProceed(MessageId id);
// The same for a question whose text is `text`, made from the format of `id`.
bool askToProceedWith(MessageId id, const char* text);
