#include <gtest/gtest.h>

#include "app/platform_win32.h"
#include "app/startup.h"
#include "dialog_hook.h"
#include "disk/access_method.h"
#include "platform/messages.h"
#include "platform/platform.h"

namespace {

const char OS_UNSUPPORTED_BYTES[] =
    "\x82\xB1\x82\xCC\x82\x6E\x82\x72\x82\xC9\x82\xCD\x91\xCE\x89\x9E\x82\xB5\x82\xC4\x82\xA2"
    "\x82\xDC\x82\xB9\x82\xF1\x81\x42";

class Startup : public ::testing::Test {
protected:
    void SetUp() override { installWin32Platform(); }
};

TEST_F(Startup, UnsupportedSystemShowsTheErrorBoxAndEnds)
{
    BoxCapture capture(IDOK);
    EXPECT_EQ(checkStartup(AccessMethod::Unsupported), 1);
    ASSERT_EQ(capture.boxes.size(), 1u);
    const CapturedBox& box = capture.boxes[0];
    EXPECT_EQ(box.caption, "Veldis");
    EXPECT_EQ(box.text, OS_UNSUPPORTED_BYTES);
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_EQ(box.icon, errorIcon());
}

TEST_F(Startup, MissingRightsShowTheTwoLineWarningAndGoOn)
{
    platform.isInBuiltinGroup = [](uint32_t) { return 0; };
    BoxCapture capture(IDOK);
    EXPECT_EQ(checkStartup(AccessMethod::WinNt5), STARTUP_GO_ON);
    ASSERT_EQ(capture.boxes.size(), 1u);
    const CapturedBox& box = capture.boxes[0];
    EXPECT_EQ(box.caption, "Veldis");
    EXPECT_EQ(box.text, messageText(MSG_NO_ADMIN_RIGHTS));
    EXPECT_NE(box.text.find('\n'), std::string::npos);
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_EQ(box.icon, warningIcon());
}

TEST_F(Startup, WineIsAnAdministratorOnTheNtFamily)
{
    EXPECT_EQ(detectAccessMethod(), AccessMethod::WinNt5);
    EXPECT_EQ(isInBuiltinGroup(OS_RID_ADMINS), 1);
    EXPECT_EQ(isInBuiltinGroup(999), 0);
    BoxCapture capture(IDOK);
    EXPECT_EQ(checkStartup(detectAccessMethod()), STARTUP_GO_ON);
    EXPECT_TRUE(capture.boxes.empty());
}

}  // namespace
