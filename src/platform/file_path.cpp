#include "platform/file_path.h"

char lastFilePath[FILE_PATH_SIZE];
