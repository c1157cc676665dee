#include <gtest/gtest.h>

#include "app/startup.h"
#include "disk/sector_io.h"
#include "fake_platform.h"
#include "platform/messages.h"

namespace {

class Startup : public ::testing::Test {
protected:
    void SetUp() override { installFakePlatform(); }
};

TEST_F(Startup, UnsupportedSystemEndsWithTheFirstMessage)
{
    EXPECT_EQ(checkStartup(AccessMethod::Unsupported), 1);
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].text, messageText(MSG_OS_UNSUPPORTED));
    EXPECT_EQ(fake.boxes[0].caption, "Veldis");
    EXPECT_EQ(fake.boxes[0].style, BOX_TASKMODAL | BOX_ICONERROR);
    EXPECT_TRUE(fake.adminChecks.empty());
    EXPECT_EQ(SectorIo::method(), AccessMethod::Unsupported);
}

TEST_F(Startup, NtWithoutAdministratorRightsWarnsAndGoesOn)
{
    for (int check : {0, -1}) {
        installFakePlatform();
        fake.adminCheck = check;
        EXPECT_EQ(checkStartup(AccessMethod::WinNt4), STARTUP_GO_ON);
        ASSERT_EQ(fake.boxes.size(), 1u) << check;
        EXPECT_EQ(fake.boxes[0].text, messageText(MSG_NO_ADMIN_RIGHTS));
        EXPECT_EQ(fake.boxes[0].style, BOX_TASKMODAL | BOX_ICONWARNING);
        EXPECT_EQ(fake.adminChecks, std::vector<uint32_t>{544});
        EXPECT_EQ(SectorIo::method(), AccessMethod::WinNt4);
    }
}

TEST_F(Startup, AdministratorsAndWindows9xStartQuietly)
{
    fake.adminCheck = 1;
    EXPECT_EQ(checkStartup(AccessMethod::WinNt5), STARTUP_GO_ON);
    EXPECT_TRUE(fake.boxes.empty());

    fake.adminCheck = 0;
    fake.adminChecks.clear();
    for (AccessMethod m : {AccessMethod::Win95, AccessMethod::Win95Osr2, AccessMethod::Win98}) {
        EXPECT_EQ(checkStartup(m), STARTUP_GO_ON);
        EXPECT_EQ(SectorIo::method(), m);
    }
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_TRUE(fake.adminChecks.empty());
}

}  // namespace
