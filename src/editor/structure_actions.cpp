#include "editor/structure_actions.h"

#include "editor/cursor.h"
#include "editor/dump_view.h"
#include "editor/editor_state.h"
#include "editor/navigation.h"
#include "editor/sector_structure.h"
#include "volume/cluster.h"

void selectStructureRow(int32_t row)
{
    if (row < 0 || uint32_t(row) >= sectorStructure.rowCount) return;
    const StructureRow& chosen = sectorStructure.rows[row];
    if (chosen.length == 0 || chosen.offset >= editor.sectorSize) return;
    editor.cursorLine = int32_t(chosen.offset / DUMP_BYTES_PER_LINE);
    editor.cursorColumn = int32_t(chosen.offset % DUMP_BYTES_PER_LINE);
    editor.cursorNibble = 0;
    placeCaret(true);
}

bool openStructureRow(int32_t row)
{
    if (row < 0 || uint32_t(row) >= sectorStructure.rowCount) return false;
    const StructureRow& chosen = sectorStructure.rows[row];
    if (chosen.target == NO_TARGET) return false;
    uint32_t cluster = 0;
    if (chosen.directory && editorWindow.hasAreas) {
        const VolumeLayout& layout = editorWindow.layout;
        SectorNumber inVolume = chosen.target - editorWindow.firstSector;
        if (inVolume >= layout.dataStart) cluster = clusterOfSector(layout, inVolume);
    }
    if (!loadSector(editor.source, chosen.target)) return false;
    noteEnteredDirectory(cluster);
    editor.cursorLine = 0;
    editor.cursorColumn = 0;
    placeCaret(true);
    return true;
}

