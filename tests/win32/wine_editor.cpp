#include "wine_editor.h"

#include "app/platform_win32.h"
#include "disk/sector_routes_win32.h"
#include "editor/editor_state.h"
#include "platform/commands.h"

void installWineEditor()
{
    installWin32Platform();
    SectorIo::setRoutes(WIN32_SECTOR_ROUTES);
    SectorIo::setMethod(AccessMethod::WinNt5);
    resetEditor();
    resetCommandStates();
}
