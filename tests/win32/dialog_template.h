#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A dialog template as stored in a module's resources; texts in CP932, so
// they compare with the test sources' literals.
struct DialogItem {
    DWORD style;
    int id;
    std::string className;  // "Button", "Edit", "Static", ... for the predefined atoms
    std::string text;
    RECT box;               // x, y, x + cx, y + cy in dialog units
};

struct DialogTemplate {
    DWORD style;
    std::string title;
    int fontPoints = 0;
    std::string fontFace;
    std::vector<DialogItem> items;
};

bool readDialogTemplate(HMODULE module, const char* name, DialogTemplate& out);

// The module at the Unix path in VELDIS_EXE, loaded for its resources.
HMODULE loadVeldisExe();
