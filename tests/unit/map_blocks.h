#pragma once
#include <string>

#include "image/rescue_map.h"

// A map's blocks as their counts and statuses, "3? 2+ 5?": a whole map in a
// table's row or a failed expectation.
inline std::string blocksOf(const RescueMap& map)
{
    std::string text;
    for (uint32_t k = 0; k < map.blockCount; k++) {
        if (k != 0) text += ' ';
        text += std::to_string(map.blocks[k].count) + char(map.blocks[k].status);
    }
    return text;
}
