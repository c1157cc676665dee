#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "app/platform_win32.h"
#include "editor/dump_paint_win32.h"
#include "editor/dump_view.h"
#include "editor/editor_state.h"
#include "platform/settings.h"

// A full paintDump of a 4096-byte sector against a bare loop that draws the
// same text with the same font into the same memory DC.
namespace {

constexpr int ROUNDS = 200;

double seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

template <typename Paint>
double timeRounds(Paint paint)
{
    paint();  // warm the font cache
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int round = 0; round < ROUNDS; round++) paint();
    GdiFlush();
    QueryPerformanceCounter(&end);
    return seconds(start, end) / ROUNDS;
}

}  // namespace

int main()
{
    installWin32Platform();
    resetEditor();
    editor.source = driveSource(0);
    editor.sectorSize = 4096;
    editor.lineCount = 256;
    for (int i = 0; i < 4096; i++) editor.workBuffer[i] = uint8_t(i * 13);
    std::memcpy(editor.savedCopy, editor.workBuffer, 4096);
    for (int i = 0; i < 4096; i += 97) editor.workBuffer[i] ^= 0xFF;
    settings.kanji = 1;
    view.lineHeight = 21;
    view.charWidth = 10;
    view.fontHeight = 20;

    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(GetDC(nullptr), 730, 21 * 256);
    SelectObject(dc, bitmap);

    std::vector<DumpRun> runs(256 * DUMP_RUNS_PER_LINE);
    bool onTrail = false;
    for (int line = 0; line < 256; line++)
        onTrail = layoutDumpLine(line, onTrail, &runs[line * DUMP_RUNS_PER_LINE]);
    double bare = timeRounds([&] {
        HFONT font = createDumpFont(20, false);
        HGDIOBJ previous = SelectObject(dc, font);
        for (const DumpRun& run : runs) {
            SetTextColor(dc, run.red ? RGB(255, 0, 0) : 0);
            TextOutA(dc, run.x, run.y, run.text, run.length);
        }
        SelectObject(dc, previous);
        DeleteObject(font);
    });
    double dump = timeRounds([&] { paintDumpInto(dc); });

    std::printf("ROW|paintDump of a 4096-byte sector|%.3f|ms|a bare loop drawing the same text|%.3f\n",
                dump * 1000, bare * 1000);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return 0;
}
