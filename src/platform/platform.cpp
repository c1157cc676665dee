#include "platform/platform.h"

// Filled before first use: by the Win32 start-up, or by a test.
Platform platform{};
