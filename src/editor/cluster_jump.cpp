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
    return entryFirstCluster(entry, editorWindow.layout);
}

bool isClusterAcceptable(uint32_t cluster)
{
    return editor.source.kind != SourceKind::None && editorWindow.hasAreas &&
           isClusterInVolume(editorWindow.layout, cluster);
}

void jumpToCluster(uint32_t cluster)
{
    loadSector(editor.source,
               editorWindow.firstSector + clusterFirstSector(editorWindow.layout, cluster));
}
