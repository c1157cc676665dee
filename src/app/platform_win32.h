#pragma once

// Points the core's platform at the real Win32 calls.
void installWin32Platform();
