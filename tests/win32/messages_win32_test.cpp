#include <gtest/gtest.h>

#include "app/platform_win32.h"
#include "dialog_hook.h"
#include "platform/messages.h"

namespace {

const MessageId ALL_MESSAGES[] = {
    MSG_OS_UNSUPPORTED,    MSG_NO_ADMIN_RIGHTS,    MSG_NO_FILE,          MSG_NO_DRIVE,
    MSG_DRIVE_UNSUPPORTED, MSG_BAD_PARAMETER,      MSG_SECTOR_WRITE_ERROR, MSG_SECTOR_READ_ERROR,
    MSG_FILE_OPEN_ERROR,   MSG_FILE_WRITE_ERROR,   MSG_FILE_READ_ERROR,  MSG_OUT_OF_MEMORY,
    MSG_NTFS_NOT_ALLOWED,  MSG_FILE_EXISTS,        MSG_WRITE_EDITS,      MSG_DISCARD_EDITS,
    MSG_WRITE_CHANGES,     MSG_LAYOUT_MISMATCH,    MSG_DONE,             MSG_SECTOR_CHANGED,
    MSG_RUN_STOPPED,       MSG_SECTORS_WRITTEN,    MSG_NOTHING_WRITTEN,  MSG_IMAGE_ON_TARGET,
    MSG_RESTORE_OVERWRITE, MSG_SECTOR_FILE_SIZE,   MSG_IMAGE_DIFFERS,    MSG_SECTOR_UNREADABLE,
    MSG_NOT_CHECKED,       MSG_IMAGE_MATCHES,      MSG_NOT_FOUND,        MSG_SEARCH_UNREADABLE,
    MSG_IMAGE_TOO_SHORT,   MSG_IMAGE_READ_ONLY,    MSG_UNDO_WRITE,       MSG_CHANGED_SINCE_WRITE,
    MSG_WRITE_UNDONE,      MSG_OTHER_MEDIUM,       MSG_DEVICE_PATH,      MSG_IMAGE_NOT_SECTORS,
    MSG_IMAGE_SIZE_DIFFERS, MSG_MANUAL_UNOPENED,   MSG_TABLE_SECTOR_WRITE, MSG_GPT_FROM_BACKUP,
    MSG_GPT_DAMAGED,
    MSG_NO_NEXT_CLUSTER,
    MSG_NO_PREVIOUS_CLUSTER,
    MSG_NO_FILE_ENTRY,
    MSG_FILE_CHAIN_BROKEN,
    MSG_RECOVER_ON_SOURCE,
    MSG_PASTE_NOT_HEX,
    MSG_PASTE_PAST_END,
    MSG_FILL_NOT_HEX,
    MSG_BAD_POSITION,
    MSG_RESCUE_ASK,
    MSG_RESCUE_DONE,
    MSG_RESCUE_RETRY,
    MSG_RETRY_DONE,
    MSG_MAP_UNREADABLE,
    MSG_MAP_KEPT,
    MSG_RESTORE_UNREAD,
    MSG_IMAGE_MATCHES_EXCEPT,
};

// In the order the box's template holds them.
std::vector<int> buttonsOf(MessageKind kind)
{
    switch (kind) {
    case MessageKind::ConfirmOkCancel: return {IDOK, IDCANCEL};
    case MessageKind::AskYesNo: return {IDYES, IDNO};
    case MessageKind::AskYesNoCancel: return {IDYES, IDNO, IDCANCEL};
    default: return {IDOK};
    }
}

int cautiousAnswer(MessageKind kind)
{
    switch (kind) {
    case MessageKind::ConfirmOkCancel: return IDCANCEL;
    case MessageKind::AskYesNo: return IDNO;
    case MessageKind::AskYesNoCancel: return IDCANCEL;
    default: return IDOK;
    }
}

HICON iconOf(MessageKind kind)
{
    if (kind == MessageKind::Error) return errorIcon();
    if (kind == MessageKind::Info) return informationIcon();
    return warningIcon();
}

class MessageBoxes : public ::testing::Test {
protected:
    void SetUp() override { installWin32Platform(); }
};

TEST_F(MessageBoxes, EachMessageAsShown)
{
    for (MessageId id : ALL_MESSAGES) {
        MessageKind kind = messageKind(id);
        BoxCapture capture(buttonsOf(kind).front());
        EXPECT_EQ(showMessage(id, kind), buttonsOf(kind).front()) << id;
        ASSERT_EQ(capture.boxes.size(), 1u) << id;
        const CapturedBox& box = capture.boxes[0];
        EXPECT_EQ(box.caption, "Veldis") << id;
        EXPECT_EQ(box.text, messageText(id)) << id;
        EXPECT_EQ(box.buttons, buttonsOf(kind)) << id;
        EXPECT_EQ(box.icon, iconOf(kind)) << id;
        // Questions have their cautious answer as the default button.
        EXPECT_EQ(box.defaultButton, cautiousAnswer(kind)) << id;
    }
}

TEST_F(MessageBoxes, EnterTakesTheCautiousAnswer)
{
    BoxCapture capture(BoxCapture::PRESS_ENTER);
    EXPECT_EQ(showMessage(MSG_WRITE_EDITS, MessageKind::ConfirmOkCancel), IDCANCEL);
    EXPECT_EQ(showMessage(MSG_FILE_EXISTS, MessageKind::AskYesNo), IDNO);
    EXPECT_EQ(showMessage(MSG_DONE, MessageKind::Info), IDOK);
    EXPECT_FALSE(askToProceed(MSG_DISCARD_EDITS));
    EXPECT_FALSE(askToProceed(MSG_FILE_EXISTS));
    EXPECT_FALSE(askToProceed(MSG_WRITE_CHANGES));
    EXPECT_EQ(showMessage(MSG_WRITE_CHANGES, MessageKind::AskYesNoCancel), IDCANCEL);
    EXPECT_EQ(capture.boxes.size(), 7u);
}

TEST_F(MessageBoxes, TheOtherButtonGoesAhead)
{
    {
        BoxCapture capture(IDOK);
        EXPECT_TRUE(askToProceed(MSG_LAYOUT_MISMATCH));
    }
    BoxCapture capture(IDYES);
    EXPECT_TRUE(askToProceed(MSG_FILE_EXISTS));
    EXPECT_TRUE(askToProceed(MSG_WRITE_CHANGES));
}

TEST_F(MessageBoxes, TheRightsWarningShowsAsTwoLines)
{
    BoxCapture capture(IDOK);
    showMessage(MSG_NO_ADMIN_RIGHTS, MessageKind::Warning);
    ASSERT_EQ(capture.boxes.size(), 1u);
    const std::string& text = capture.boxes[0].text;
    ASSERT_NE(text.find('\n'), std::string::npos);
    EXPECT_EQ(text.find('\n'), text.rfind('\n'));
}

TEST_F(MessageBoxes, IndexFiveShowsNothing)
{
    BoxCapture capture(IDOK);
    EXPECT_EQ(showMessage(static_cast<MessageId>(5), MessageKind::Error), 0);
    EXPECT_TRUE(capture.boxes.empty());
}

}  // namespace
