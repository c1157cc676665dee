#include "platform/commands.h"

#include "platform/platform.h"

namespace {

// The state each command has when the main window is created.
constexpr CommandState INITIAL_STATES[CMD_COUNT] = {
    {CMD_SECTOR_READ, true, false},      {CMD_SECTOR_WRITE, false, false},
    {CMD_SECTOR_FILE_LOAD, false, false}, {CMD_SECTOR_FILE_SAVE, false, false},
    {CMD_DUMP_TO_FILE, false, false},    {CMD_DUMP_TO_CLIPBOARD, false, false},
    {CMD_IMAGE_SAVE, true, false},       {CMD_IMAGE_RESTORE, true, false},
    {CMD_IMAGE_VERIFY, true, false},     {CMD_OPEN_IMAGE, true, false},
    {CMD_EXIT, true, false},             {CMD_BACK, false, false},
    {CMD_ZERO_CLEAR, false, false},      {CMD_REVERT_EDITS, false, false},
    {CMD_FIND, false, false},            {CMD_FIND_NEXT, false, false},
    {CMD_REFRESH, false, false},         {CMD_EDIT_BYTE, false, false},
    {CMD_EDIT_WORD, false, false},       {CMD_EDIT_DWORD, false, false},
    {CMD_ALL_DRIVES_INFO, true, false},  {CMD_DRIVE_INFO, false, false},
    {CMD_PREV_SECTOR, false, false},     {CMD_NEXT_SECTOR, false, false},
    {CMD_JUMP_IPL, false, false},        {CMD_JUMP_FAT, false, false},
    {CMD_JUMP_DIR, false, false},        {CMD_JUMP_DATA, false, false},
    {CMD_JUMP_LAST, false, false},       {CMD_JUMP_CLUSTER, false, false},
    {CMD_FONT_LARGEST, false, false},    {CMD_FONT_LARGE, false, false},
    {CMD_FONT_MEDIUM, false, false},     {CMD_FONT_SMALL, false, false},
    {CMD_FONT_SMALLEST, false, false},   {CMD_TOGGLE_KANJI, false, false},
    {CMD_OPTIONS, true, false},          {CMD_HELP, true, false},
    {CMD_ABOUT, true, false},            {CMD_UNDO, false, false},
    {CMD_REDO, false, false},            {CMD_UNDO_WRITE, false, false},
    {CMD_STATUS_BAR, true, true},        {CMD_PARTITION_LIST, false, false},
    {CMD_STRUCTURE_VIEW, true, false},   {CMD_NEXT_CLUSTER, false, false},
    {CMD_PREV_CLUSTER, false, false},    {CMD_SAVE_AS_FILE, false, false},
    {CMD_SELECT_ALL, false, false},      {CMD_COPY_HEX, false, false},
    {CMD_COPY_TEXT, false, false},       {CMD_COPY_C_ARRAY, false, false},
    {CMD_PASTE_HEX, false, false},       {CMD_FILL, false, false},
    {CMD_GO_TO, false, false},           {CMD_DATA_INSPECTOR, true, false},
    {CMD_CHECKSUM, true, false},
};

CommandState* findCommand(int id)
{
    for (CommandState& state : commandStates)
        if (state.id == id) return &state;
    return nullptr;
}

}  // namespace

CommandState commandStates[CMD_COUNT];

void resetCommandStates()
{
    for (int i = 0; i < CMD_COUNT; i++) commandStates[i] = INITIAL_STATES[i];
}

namespace {

void changeCommand(int id, bool CommandState::*flag, bool value)
{
    CommandState* state = findCommand(id);
    if (state == nullptr) return;
    state->*flag = value;
    platform.menuItemChanged(id, state->enabled, state->checked);
}

}  // namespace

void setCommandEnabled(int id, bool enabled)
{
    changeCommand(id, &CommandState::enabled, enabled);
}

void setCommandChecked(int id, bool checked)
{
    changeCommand(id, &CommandState::checked, checked);
}

bool isCommandEnabled(int id)
{
    const CommandState* state = findCommand(id);
    return state != nullptr && state->enabled;
}

bool isCommandChecked(int id)
{
    const CommandState* state = findCommand(id);
    return state != nullptr && state->checked;
}
