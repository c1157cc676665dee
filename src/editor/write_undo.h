#pragma once

// 書込の取り消し: the newest kept write is taken back after a question, only
// while its sector still holds what was written; a sector shown shows it.
void undoLastWrite();
