// Control identifiers shared by the resource script and the dialog procedures.
#pragma once

#define IDC_OPTION_CONFIRM_WRITE 1021
#define IDC_OPTION_CONFIRM_DISCARD 1022
