#include <windows.h>

#include "app/platform_win32.h"
#include "app/startup.h"
#include "disk/sector_routes_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    installWin32Platform();
    SectorIo::setRoutes(WIN32_SECTOR_ROUTES);
    int exitCode = checkStartup(detectAccessMethod());
    if (exitCode != STARTUP_GO_ON) return exitCode;
    return 0;
}
