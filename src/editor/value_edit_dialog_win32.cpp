#include "editor/value_edit_dialog_win32.h"

#include <cstring>

#include "editor/value_edit.h"
#include "res/resource.h"

namespace {

constexpr int VALUE_BOXES[] = {IDC_VALUE_HEX, IDC_VALUE_DECIMAL, IDC_VALUE_BINARY};
constexpr int VALUE_TEXT_SIZE = 64;  // more than any box accepts, so a refused entry reads whole

// The dialog's own text changes raise EN_UPDATE too; they are no keystrokes.
bool settingTexts = false;

ValueBox boxOf(int id)
{
    return id == IDC_VALUE_HEX ? ValueBox::Hex
           : id == IDC_VALUE_DECIMAL ? ValueBox::Decimal
                                     : ValueBox::Binary;
}

void setBoxText(HWND dialog, int id, const char* text)
{
    settingTexts = true;
    SetDlgItemTextA(dialog, id, text);
    settingTexts = false;
}

void showAcceptedTexts(HWND dialog, int except)
{
    for (int id : VALUE_BOXES)
        if (id != except) setBoxText(dialog, id, acceptedText(boxOf(id)));
}

// The refused keystroke never shows; the caret stays where it was before it.
void takeBack(HWND dialog, int id, size_t typedLength)
{
    DWORD caret = 0;
    SendDlgItemMessageA(dialog, id, EM_GETSEL, 0, LPARAM(&caret));
    const char* accepted = acceptedText(boxOf(id));
    setBoxText(dialog, id, accepted);
    size_t length = std::strlen(accepted);
    size_t grown = typedLength > length ? typedLength - length : 0;
    DWORD at = caret > grown ? DWORD(caret - grown) : 0;
    SendDlgItemMessageA(dialog, id, EM_SETSEL, at, at);
}

void onBoxUpdate(HWND dialog, int id, HWND box)
{
    if (settingTexts || GetFocus() != box) return;
    char text[VALUE_TEXT_SIZE] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    if (acceptBoxText(boxOf(id), text))
        showAcceptedTexts(dialog, id);
    else
        takeBack(dialog, id, std::strlen(text));
}

}  // namespace

INT_PTR CALLBACK valueEditDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        beginValueEdit();
        showAcceptedTexts(dialog, 0);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    int id = LOWORD(wParam);
    switch (id) {
    case IDC_VALUE_HEX:
    case IDC_VALUE_DECIMAL:
    case IDC_VALUE_BINARY:
        if (HIWORD(wParam) == EN_UPDATE) onBoxUpdate(dialog, id, HWND(lParam));
        return FALSE;
    case IDOK: {
        char text[VALUE_TEXT_SIZE] = "";
        GetDlgItemTextA(dialog, IDC_VALUE_DECIMAL, text, sizeof text);
        storeEditedValue(text);
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    }
    return FALSE;
}
