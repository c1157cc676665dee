#pragma once

// 次のｸﾗｽﾀ and 前のｸﾗｽﾀ: the first sector of the next or previous cluster
// of the chain the shown data sector belongs to. Where the chain goes no
// further (its end, a free, bad or looping link, or no entry pointing back)
// the user is told why and the sector shown stays.
void showNextCluster();
void showPreviousCluster();
