#pragma once
#include <cstdint>

// What the window still has to do once the core has run a command.
enum class WindowAction {
    None,
    ReadDialog,
    ImageSaveDialog,
    ImageRestoreDialog,
    ClusterDialog,
    ValueEditDialog,
    AllDrivesDialog,
    DriveInfoDialog,
    OptionsDialog,
    AboutDialog,
    Help,
    Close,
};

// Runs a menu or accelerator command; a grayed or unknown command does nothing.
WindowAction runCommand(int id);

// On WM_DESTROY and WM_QUERYENDSESSION: save the settings, then offer to
// write an edited sector.
void runShutdown();

// OK in the read dialog, with the chosen drive (-1 for none) and the sector
// number: true when the sector is shown and the dialog may close.
bool acceptReadChoice(int drive, uint32_t sector);
