#pragma once
#include <cstdint>

#include "disk/source.h"

// What the window still has to do once the core has run a command.
enum class WindowAction {
    None,
    ReadDialog,
    ImageSaveDialog,
    ImageRestoreDialog,
    ImageVerifyDialog,
    ClusterDialog,
    ValueEditDialog,
    FindDialog,
    FindRun,
    AllDrivesDialog,
    DriveInfoDialog,
    PartitionListDialog,
    RecoverDialog,  // a deleted file's first character, then FileSave
    FileSave,       // the save dialog, then the run in its progress window
    FillDialog,
    ChecksumDialog,
    GoToDialog,
    OptionsDialog,
    AboutDialog,
    Help,
    StatusBar,  // shown or hidden as the settings now say
    Close,
};

// Runs a menu or accelerator command; a grayed or unknown command does nothing.
WindowAction runCommand(int id);

// What the settings and the kept writes say of the menu at start-up, once
// the window exists.
void restoreSessionCommands();

// Every way of closing the window (終了, Alt+F4, the close box, the system
// menu, the end of the session) asks here first, while the window is still
// there: with edits unwritten, Yes writes them (after the usual write
// question), No lets them go, Cancel keeps the program open. True: close.
bool mayClose();

// The source the read dialog opens on: the one shown, else the first listed
// (NO_SOURCE for none).
Source readDialogSource();

// OK in the read dialog, with the chosen source (NO_SOURCE for none) and the
// sector number as typed (decimal or hexadecimal, or with + or - a distance
// from the sector shown of that source): true when the sector is shown and
// the dialog may close.
bool acceptReadChoice(Source source, const char* sectorText);
