#pragma once
#include <cstdint>

#include "image/drive_image.h"
#include "image/rescue_map.h"

// Reads every sector `map` does not hold as Finished from the drive into
// `image` (its first byte is the map's first sector), inside a run the
// caller holds, the way ddrescue goes about a failing drive:
//  - areas not tried, in reads of many sectors, forwards then backwards,
//    skipping ahead further after each failed read so a dead stretch costs
//    few reads, then whatever was skipped;
//  - each failed area from both its edges one sector at a time, then the
//    sectors between them;
//  - each bad sector `retries` more times.
// The map is written to `mapPath` at the start, as the run goes and at its
// end. Done: every sector tried, the bad ones zeros in the image. Stopped by
// the user or Failed (the image or map could not be written, no memory),
// with the map written as far as it could be.
RunResult rescueSectors(const ImageDrive& target, void* image, RescueMap& map,
                        const char* mapPath, int retries);
