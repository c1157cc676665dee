#include "editor/chain_steps.h"

#include <cstdio>

#include "editor/editor_state.h"
#include "editor/navigation.h"
#include "platform/messages.h"
#include "volume/cluster.h"
#include "volume/fat_chain.h"

namespace {

FatReader fat;

uint32_t shownCluster()
{
    return clusterOfSector(editorWindow.layout, editor.currentSector - editorWindow.firstSector);
}

void showCluster(uint32_t cluster)
{
    loadSector(editor.source,
               editorWindow.firstSector + clusterFirstSector(editorWindow.layout, cluster));
}

void tellNoNext(uint32_t cluster, const char* why)
{
    char text[512];
    std::snprintf(text, sizeof text, messageText(MSG_NO_NEXT_CLUSTER), (unsigned long)cluster, why);
    showTextWithDetail(text, messageKind(MSG_NO_NEXT_CLUSTER), nullptr);
}

}  // namespace

void showNextCluster()
{
    uint32_t cluster = shownCluster();
    openFatReader(fat, editor.source, editorWindow.firstSector, editorWindow.layout);
    FatValue entry;
    if (!readFatEntry(fat, cluster, entry)) {
        showMessage(MSG_SECTOR_READ_ERROR, MessageKind::Error);
        return;
    }
    char why[128];
    switch (entry.link) {
    case FatLink::Next:
        if (entry.value != cluster && isClusterInVolume(editorWindow.layout, entry.value)) {
            showCluster(entry.value);
            return;
        }
        std::snprintf(why, sizeof why, entry.value == cluster
                                           ? "FATでは、このクラスタの次がこのクラスタ自身です（ループ）。"
                                           : "FATでは、次のクラスタ (%lu) がボリュームの外にあります。",
                      (unsigned long)entry.value);
        break;
    case FatLink::End: std::snprintf(why, sizeof why, "FATでは、ファイルの最後のクラスタです。"); break;
    case FatLink::Free: std::snprintf(why, sizeof why, "FATでは、空きクラスタです。"); break;
    case FatLink::Bad: std::snprintf(why, sizeof why, "FATでは、不良クラスタです。"); break;
    case FatLink::Reserved:
        std::snprintf(why, sizeof why, "FATの値 (%lXh) は、クラスタを指していません。",
                      (unsigned long)entry.value);
        break;
    }
    tellNoNext(cluster, why);
}

void showPreviousCluster()
{
    uint32_t cluster = shownCluster(), previous = 0;
    openFatReader(fat, editor.source, editorWindow.firstSector, editorWindow.layout);
    if (!findPreviousCluster(fat, cluster, previous)) {
        showMessage(MSG_SECTOR_READ_ERROR, MessageKind::Error);
        return;
    }
    if (previous == 0 || !isClusterInVolume(editorWindow.layout, previous)) {
        char text[512];
        std::snprintf(text, sizeof text, messageText(MSG_NO_PREVIOUS_CLUSTER),
                      (unsigned long)cluster);
        showTextWithDetail(text, messageKind(MSG_NO_PREVIOUS_CLUSTER), nullptr);
        return;
    }
    showCluster(previous);
}
