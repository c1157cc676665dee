#include <random>

#include "editor_fixture.h"

namespace {

class View : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 0));
    }
    const FakeScrollBar& vertical() { return fake.bars[SCROLL_BAR_VERT]; }
    const FakeScrollBar& horizontal() { return fake.bars[SCROLL_BAR_HORZ]; }
    void resize(int32_t width, int32_t height) { resizeWindow(width, height); }
};

TEST_F(View, MediumFontOnA512ByteSector)
{
    EXPECT_EQ(view.contentWidth, 730);
    EXPECT_EQ(view.contentHeight, 672);
    resize(640, 400);
    EXPECT_TRUE(vertical().visible);
    EXPECT_EQ(vertical().maximum, 272);
    EXPECT_TRUE(horizontal().visible);
    EXPECT_EQ(horizontal().maximum, 90);
    onScrollRequest(SCROLL_BAR_VERT, SCROLL_PAGE_DOWN, 0);
    EXPECT_EQ(view.scrollY, 272);  // 400 asked, the range ends at 272
    EXPECT_EQ(vertical().position, 272);

    int repaints = fake.wholeRepaints;
    onScrollRequest(SCROLL_BAR_VERT, SCROLL_LINE_DOWN, 0);
    EXPECT_EQ(fake.wholeRepaints, repaints);  // nothing moved, nothing repainted
    onScrollRequest(SCROLL_BAR_VERT, SCROLL_LINE_UP, 0);
    EXPECT_EQ(view.scrollY, 251);
    EXPECT_EQ(fake.wholeRepaints, repaints + 1);
}

TEST_F(View, ScrollRequestTable)
{
    resize(639, 300);
    onScrollRequest(SCROLL_BAR_HORZ, SCROLL_LINE_DOWN, 0);
    EXPECT_EQ(view.scrollX, 79);
    onScrollRequest(SCROLL_BAR_HORZ, SCROLL_LINE_UP, 0);
    EXPECT_EQ(view.scrollX, 0);
    onScrollRequest(SCROLL_BAR_HORZ, SCROLL_PAGE_DOWN, 0);
    EXPECT_EQ(view.scrollX, 91);
    onScrollRequest(SCROLL_BAR_VERT, SCROLL_THUMB_TRACK, 123);
    EXPECT_EQ(view.scrollY, 123);
    onScrollRequest(SCROLL_BAR_VERT, SCROLL_THUMB_POSITION, 5000);
    EXPECT_EQ(view.scrollY, 372);
    onScrollRequest(SCROLL_BAR_VERT, SCROLL_PAGE_UP, 0);
    EXPECT_EQ(view.scrollY, 72);
    for (int ignored : {6, 7, 8, 99}) onScrollRequest(SCROLL_BAR_VERT, ignored, 0);
    EXPECT_EQ(view.scrollY, 72);

    resize(7, 300);
    int32_t before = view.scrollX;
    onScrollRequest(SCROLL_BAR_HORZ, SCROLL_LINE_DOWN, 0);
    EXPECT_EQ(view.scrollX, before);  // a step of 7 / 8 = 0 pixels
}

TEST_F(View, ResizingKeepsTheOffsetsInRange)
{
    resize(640, 400);
    scrollToY(272);
    resize(640, 500);
    EXPECT_EQ(view.scrollY, 172);
    resize(640, 700);
    EXPECT_FALSE(vertical().visible);
    EXPECT_EQ(view.scrollY, 0);
    scrollToX(90);
    resize(730, 700);
    EXPECT_FALSE(horizontal().visible);
    EXPECT_EQ(view.scrollX, 0);
}

TEST_F(View, FontSizesResetTheViewAndTheCaret)
{
    resize(640, 400);
    scrollToY(100);
    applyFontSize(4);
    EXPECT_EQ(view.contentWidth, 1314);
    EXPECT_EQ(view.contentHeight, 1216);
    EXPECT_EQ(view.scrollX, 0);
    EXPECT_EQ(view.scrollY, 0);
    EXPECT_EQ(fake.caretHeight, 36);
    EXPECT_EQ(fake.caretWidth, 2);
    EXPECT_TRUE(isCommandChecked(CMD_FONT_LARGEST));
    EXPECT_FALSE(isCommandChecked(CMD_FONT_MEDIUM));
    EXPECT_EQ(settings.fontSize, 4);

    scrollToY(100);
    int repaints = fake.wholeRepaints;
    applyFontSize(4);  // the active size again still returns to the top
    EXPECT_EQ(view.scrollY, 0);
    EXPECT_GT(fake.wholeRepaints, repaints);

    const int32_t lines[] = {13, 17, 21, 28, 38}, fonts[] = {12, 16, 20, 26, 36};
    for (int index = 0; index < 5; index++) {
        applyFontSize(index);
        EXPECT_EQ(view.lineHeight, lines[index]);
        EXPECT_EQ(view.fontHeight, fonts[index]);
        EXPECT_EQ(view.charWidth * 2, fonts[index]);
        EXPECT_EQ(fake.caretHeight, lines[index] - 2);
    }
}

// After any sequence of resizes, font changes and scroll requests the offsets
// stay in range, each bar shows exactly when its content is larger and has the
// scrollable part of the client area as it finally is as its range: also
// where a bar shown or hidden resizes the client area and reports it at once.
TEST_F(View, InvariantsHoldThroughResizesFontsAndScrolling)
{
    attachLargeSectorDrive();
    for (int32_t thickness : {0, 17}) {
        fake.barThickness = thickness;
        std::mt19937 random(7);
        for (int step = 0; step < 3000; step++) {
            switch (random() % 6) {
            case 0: resize(int32_t(random() % 1600), int32_t(random() % 3000)); break;
            case 1: applyFontSize(int(random() % 5)); break;
            case 2: onScrollRequest(int(random() % 2), int(random() % 9), int32_t(random() % 5000)); break;
            case 3: loadSector(driveSource(random() % 2 ? DRIVE_A : DRIVE_C), random() % 50); break;
            case 4: setKanjiMode(int(random() % 2)); break;
            default: scrollToY(int32_t(random() % 4000) - 1000); break;
            }
            ASSERT_EQ(view.clientWidth, fake.clientWidth);
            ASSERT_EQ(view.clientHeight, fake.clientHeight);
            ASSERT_GE(view.scrollY, 0);
            ASSERT_LE(view.scrollY, std::max(0, view.contentHeight - view.clientHeight));
            ASSERT_GE(view.scrollX, 0);
            ASSERT_LE(view.scrollX, std::max(0, view.contentWidth - view.clientWidth));
            ASSERT_EQ(vertical().visible, view.clientHeight < view.contentHeight);
            ASSERT_EQ(horizontal().visible, view.clientWidth < view.contentWidth);
            if (vertical().visible) {
                ASSERT_EQ(vertical().maximum, view.contentHeight - view.clientHeight);
            }
            if (horizontal().visible) {
                ASSERT_EQ(horizontal().maximum, view.contentWidth - view.clientWidth);
            }
            ASSERT_EQ(view.contentHeight, editor.lineCount * view.lineHeight);
            ASSERT_EQ(view.contentWidth, 73 * view.charWidth);
        }
    }
}

TEST_F(View, KanjiModeTogglesTheCheckMark)
{
    setKanjiMode(!settings.kanji);
    EXPECT_EQ(settings.kanji, 0);
    EXPECT_FALSE(isCommandChecked(CMD_TOGGLE_KANJI));
    setKanjiMode(!settings.kanji);
    EXPECT_EQ(settings.kanji, 1);
    EXPECT_TRUE(isCommandChecked(CMD_TOGGLE_KANJI));
}

TEST_F(View, WindowSizeLimits)
{
    SizeLimits limits{};
    trackSizeLimits(limits);
    EXPECT_EQ(limits.minWidth, 240);
    EXPECT_EQ(limits.minHeight, 80);
    EXPECT_TRUE(limits.limitMaximum);
    EXPECT_EQ(limits.maxWidth, 762);
    EXPECT_EQ(limits.maxHeight, 736);

    resetEditor();
    limits = SizeLimits{};
    trackSizeLimits(limits);
    EXPECT_EQ(limits.minWidth, 240);
    EXPECT_FALSE(limits.limitMaximum);
}

TEST_F(View, NoScrollBarsBeforeADriveIsShown)
{
    installFakePlatform();
    fake.clientWidth = 100;
    fake.clientHeight = 50;
    updateScrollBars();
    EXPECT_EQ(view.clientWidth, 100);
    EXPECT_FALSE(vertical().visible);
    EXPECT_FALSE(horizontal().visible);
}

}  // namespace
