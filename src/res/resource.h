// Control identifiers shared by the resource script and the dialog procedures.
#pragma once

#define IDC_OPTION_CONFIRM_WRITE 1021
#define IDC_OPTION_CONFIRM_DISCARD 1022

#define IDC_READ_SECTOR 1001
#define IDC_READ_DRIVE 1041
#define IDC_ABOUT_TEXT 1002

// The drive image dialogs.
#define IDC_IMAGE_START 1001
#define IDC_IMAGE_COUNT 1002
#define IDC_IMAGE_FILE 1003
#define IDC_IMAGE_BROWSE 1031
#define IDC_IMAGE_DRIVE 1041
#define IDC_IMAGE_RANGE 1042
#define IDC_IMAGE_PROGRESS 1101

#define IDC_CLUSTER_NUMBER 1001

// The value edit dialog's boxes.
#define IDC_VALUE_HEX 1001
#define IDC_VALUE_DECIMAL 1002
#define IDC_VALUE_BINARY 1003

// The drive information dialogs.
#define IDC_ALLINFO_LIST 1102
#define IDC_INFO_FIRST_FIELD 1001
#define IDC_INFO_PROPERTIES 1031
#define IDC_INFO_FORMAT 1032
#define IDC_INFO_EJECT 1033
#define IDC_PARTLIST_LIST 1103
#define IDC_PARTLIST_NOTE 1104

// The structure view.
#define IDC_STRUCT_TITLE 1105
#define IDC_STRUCT_LIST 1106

// The find dialog.
#define IDC_FIND_TEXT 1001
#define IDC_FIND_HEX 1011
#define IDC_FIND_STRING 1012
#define IDC_FIND_UTF16 1013
#define IDC_FIND_IGNORE_CASE 1014
#define IDC_FIND_DOWN 1021
#define IDC_FIND_UP 1022

// The question of a deleted file's first character.
#define IDC_RECOVER_NAME 1107
#define IDC_RECOVER_FIRST 1108

// The fill dialog.
#define IDC_FILL_BYTES 1109

// The checksum dialog; its drive and range are the image dialogs' controls.
#define IDC_CHECKSUM_SELECTION 1114
#define IDC_CHECKSUM_SECTOR 1115
#define IDC_CHECKSUM_DRIVE 1116
#define IDC_CHECKSUM_RESULT 1117
#define IDC_CHECKSUM_COPY 1118

// The go to dialog.
#define IDC_GOTO_TEXT 1110
#define IDC_GOTO_BYTE 1111
#define IDC_GOTO_SECTOR 1112

// The data inspector.
#define IDC_INSPECT_LIST 1113
