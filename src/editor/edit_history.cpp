#include "editor/edit_history.h"

#include <cstring>
#include <deque>
#include <vector>

#include "disk/sector_io.h"

namespace {

struct EditStep {
    uint32_t offset;
    std::vector<uint8_t> before, after;
    CaretPlace caretBefore, caretAfter;
};

// A long session of typing keeps no more than this; the oldest steps go first.
constexpr size_t EDIT_HISTORY_MAX_STEPS = 1000;
constexpr size_t EDIT_HISTORY_MAX_BYTES = 1 << 20;

std::deque<EditStep> steps;
size_t stepsDone;  // steps[0, stepsDone) are applied; the rest can be done again
size_t historyBytes;
uint8_t stepStart[IMAGE_BUFFER_SIZE];
CaretPlace stepStartCaret;

void dropOldestSteps()
{
    while (steps.size() > 1 &&
           (steps.size() > EDIT_HISTORY_MAX_STEPS || historyBytes > EDIT_HISTORY_MAX_BYTES)) {
        historyBytes -= 2 * steps.front().before.size();
        steps.pop_front();
        stepsDone--;
    }
}

void dropRedoSteps()
{
    while (steps.size() > stepsDone) {
        historyBytes -= 2 * steps.back().before.size();
        steps.pop_back();
    }
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
    steps.push_back({first, std::vector<uint8_t>(stepStart + first, stepStart + end),
                     std::vector<uint8_t>(sector + first, sector + end), stepStartCaret, caret});
    stepsDone = steps.size();
    historyBytes += 2 * (end - first);
    dropOldestSteps();
}

bool undoEditStep(uint8_t* sector, CaretPlace& caret)
{
    if (stepsDone == 0) return false;
    const EditStep& step = steps[--stepsDone];
    std::memcpy(sector + step.offset, step.before.data(), step.before.size());
    caret = step.caretBefore;
    return true;
}

bool redoEditStep(uint8_t* sector, CaretPlace& caret)
{
    if (stepsDone == steps.size()) return false;
    const EditStep& step = steps[stepsDone++];
    std::memcpy(sector + step.offset, step.after.data(), step.after.size());
    caret = step.caretAfter;
    return true;
}

bool canUndoEdit()
{
    return stepsDone > 0;
}

bool canRedoEdit()
{
    return stepsDone < steps.size();
}

void clearEditHistory()
{
    steps.clear();
    stepsDone = 0;
    historyBytes = 0;
}
