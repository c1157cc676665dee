#include "editor/chain_steps.h"

#include <cstdio>

#include "editor/cluster_jump.h"
#include "editor/editor_state.h"
#include "platform/messages.h"
#include "volume/cluster.h"
#include "volume/fat_chain.h"

namespace {

FatReader fat;

uint32_t shownCluster()
{
    return clusterOfSector(editorWindow.layout, editor.currentSector - editorWindow.firstSector);
}

void tellNoNext(uint32_t cluster, const char* why)
{
    char text[512];
    std::snprintf(text, sizeof text, messageText(MSG_NO_NEXT_CLUSTER), (unsigned long)cluster, why);
    showTextWithDetail(text, messageKind(MSG_NO_NEXT_CLUSTER), nullptr);
}

// Why the chain goes no further from `cluster`, whose entry is `entry`.
void describeLink(const FatValue& entry, uint32_t cluster, char* why, size_t size)
{
    const char* text = "";
    switch (entry.link) {
    case FatLink::End: text = "FATでは、ファイルの最後のクラスタです。"; break;
    case FatLink::Free: text = "FATでは、空きクラスタです。"; break;
    case FatLink::Bad: text = "FATでは、不良クラスタです。"; break;
    case FatLink::Reserved: text = "FATの値 (%lXh) は、クラスタを指していません。"; break;
    case FatLink::Next:
        text = entry.value == cluster ? "FATでは、このクラスタの次がこのクラスタ自身です（ループ）。"
                                      : "FATでは、次のクラスタ (%lu) がボリュームの外にあります。";
        break;
    }
    std::snprintf(why, size, text, (unsigned long)entry.value);
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
    if (entry.link == FatLink::Next && entry.value != cluster &&
        isClusterInVolume(editorWindow.layout, entry.value)) {
        jumpToCluster(entry.value);
        return;
    }
    char why[128];
    describeLink(entry, cluster, why, sizeof why);
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
    jumpToCluster(previous);
}
