#include "editor/edit_history.h"

#include <cstring>

#include "disk/sector_io.h"

namespace {

// A step's bytes lie in the pool at `at`: the `length` bytes before, then after.
struct EditStep {
    uint32_t offset, length, at;
    CaretPlace caretBefore, caretAfter;
};

// A long session keeps no more than this; the oldest steps go first. The
// pool holds at least two whole steps of the largest sector.
constexpr uint32_t EDIT_HISTORY_MAX_STEPS = 1024;
constexpr uint32_t EDIT_HISTORY_POOL_BYTES = 256 * 1024;
static_assert(EDIT_HISTORY_POOL_BYTES >= 4 * IMAGE_BUFFER_SIZE, "a step of any sector fits");

EditStep steps[EDIT_HISTORY_MAX_STEPS];
uint8_t pool[EDIT_HISTORY_POOL_BYTES];
uint32_t stepCount;
uint32_t stepsDone;  // steps[0, stepsDone) are applied; the rest can be done again
uint32_t poolUsed;
uint8_t stepStart[IMAGE_BUFFER_SIZE];
CaretPlace stepStartCaret;

void dropOldestStep()
{
    uint32_t bytes = 2 * steps[0].length;
    std::memmove(pool, pool + bytes, poolUsed - bytes);
    poolUsed -= bytes;
    std::memmove(steps, steps + 1, sizeof(EditStep) * (stepCount - 1));
    stepCount--;
    stepsDone--;
    for (uint32_t k = 0; k < stepCount; k++) steps[k].at -= bytes;
}

// A new step after some were taken back: those can no longer be done again.
void dropRedoSteps()
{
    stepCount = stepsDone;
    poolUsed = stepCount == 0 ? 0 : steps[stepCount - 1].at + 2 * steps[stepCount - 1].length;
}

}  // namespace

void beginEditStep(const uint8_t* sector, uint32_t size, const CaretPlace& caret)
{
    std::memcpy(stepStart, sector, size);
    stepStartCaret = caret;
}

void endEditStep(const uint8_t* sector, uint32_t size, const CaretPlace& caret)
{
    uint32_t first = 0, end = size;
    while (first < size && sector[first] == stepStart[first]) first++;
    if (first == size) return;
    while (sector[end - 1] == stepStart[end - 1]) end--;
    dropRedoSteps();
    uint32_t length = end - first;
    while (stepCount == EDIT_HISTORY_MAX_STEPS || poolUsed + 2 * length > EDIT_HISTORY_POOL_BYTES)
        dropOldestStep();
    std::memcpy(pool + poolUsed, stepStart + first, length);
    std::memcpy(pool + poolUsed + length, sector + first, length);
    steps[stepCount++] = {first, length, poolUsed, stepStartCaret, caret};
    stepsDone = stepCount;
    poolUsed += 2 * length;
}

bool undoEditStep(uint8_t* sector, CaretPlace& caret)
{
    if (stepsDone == 0) return false;
    const EditStep& step = steps[--stepsDone];
    std::memcpy(sector + step.offset, pool + step.at, step.length);
    caret = step.caretBefore;
    return true;
}

bool redoEditStep(uint8_t* sector, CaretPlace& caret)
{
    if (stepsDone == stepCount) return false;
    const EditStep& step = steps[stepsDone++];
    std::memcpy(sector + step.offset, pool + step.at + step.length, step.length);
    caret = step.caretAfter;
    return true;
}

bool canUndoEdit()
{
    return stepsDone > 0;
}

bool canRedoEdit()
{
    return stepsDone < stepCount;
}

void clearEditHistory()
{
    stepCount = 0;
    stepsDone = 0;
    poolUsed = 0;
}
