#pragma once

// The editor over the real Win32 platform and the NT volume route, as the
// program runs on the NT family: nothing shown, every command as at start.
void installWineEditor();
