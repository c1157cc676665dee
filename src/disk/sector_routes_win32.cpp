#include <windows.h>

#include "disk/sector_routes_win32.h"

// The device routes are not reachable yet: every transfer reports a failure,
// as a drive that cannot be opened does.

int ntTransfer(SectorOp, int, uint32_t, uint32_t, void*)
{
    return SECTOR_STATUS_FAILED;
}

int absDiskTransfer(SectorOp, int, uint32_t, uint32_t, void*)
{
    return ERROR_NOT_SUPPORTED;
}

int extAbsDiskTransfer(SectorOp op, int, uint32_t, uint32_t, void*)
{
    if (op != SectorOp::Read && op != SectorOp::Write) return -1;
    return ERROR_NOT_SUPPORTED;
}
