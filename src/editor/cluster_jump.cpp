#include "editor/cluster_jump.h"

#include "editor/editor_state.h"
#include "editor/navigation.h"
#include "volume/cluster.h"

namespace {

constexpr int DIRECTORY_ENTRY_BYTES = 32;

}  // namespace

uint32_t proposedCluster()
{
    const uint8_t* entry = editor.workBuffer + editor.cursorLine / 2 * DIRECTORY_ENTRY_BYTES;
    return entryFirstCluster(entry, editorLayout);
}

bool isClusterAcceptable(uint32_t cluster)
{
    return editor.currentDrive != -1 && isClusterInVolume(editorLayout, cluster);
}

void jumpToCluster(uint32_t cluster)
{
    loadSector(editor.currentDrive, clusterFirstSector(editorLayout, cluster));
}
