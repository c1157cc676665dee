#include "app/startup.h"

#include "disk/sector_io.h"
#include "platform/messages.h"
#include "platform/platform.h"

int checkStartup(AccessMethod method)
{
    SectorIo::setMethod(method);
    if (method == AccessMethod::Unsupported) {
        showMessage(MSG_OS_UNSUPPORTED, MessageKind::Error);
        return EXIT_UNSUPPORTED_OS;
    }
    // A failed check warns too: most drives will not open either way.
    bool ntFamily = static_cast<int>(method) < 0;
    if (ntFamily && platform.isInBuiltinGroup(OS_RID_ADMINS) != 1)
        showMessage(MSG_NO_ADMIN_RIGHTS, MessageKind::Warning);
    return STARTUP_GO_ON;
}
