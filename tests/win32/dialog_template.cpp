#include "dialog_template.h"

#include "wine_paths.h"

namespace {

class Reader {
public:
    explicit Reader(const BYTE* start) : at(start) {}
    WORD word()
    {
        WORD value;
        memcpy(&value, at, sizeof value);
        at += sizeof value;
        return value;
    }
    DWORD dword()
    {
        DWORD low = word();
        return low | DWORD(word()) << 16;
    }
    std::string text()
    {
        const wchar_t* wide = reinterpret_cast<const wchar_t*>(at);
        int length = lstrlenW(wide);
        at += (length + 1) * sizeof(wchar_t);
        char bytes[512] = "";
        WideCharToMultiByte(932, 0, wide, length, bytes, sizeof bytes - 1, nullptr, nullptr);
        return bytes;
    }
    // A name or ordinal field; ordinals come back as "#n".
    std::string nameOrOrdinal()
    {
        WORD first;
        memcpy(&first, at, sizeof first);
        if (first == 0xFFFF) {
            word();
            return "#" + std::to_string(word());
        }
        return text();
    }
    void alignDword(const BYTE* base)
    {
        while ((at - base) % 4) at++;
    }
    void skip(size_t bytes) { at += bytes; }
    const BYTE* at;
};

std::string predefinedClass(const std::string& name)
{
    static const char* const NAMES[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar",
                                        "ComboBox"};
    if (name.size() > 1 && name[0] == '#') {
        int atom = std::stoi(name.substr(1));
        if (atom >= 0x80 && atom <= 0x85) return NAMES[atom - 0x80];
    }
    return name;
}

}  // namespace

bool readDialogTemplate(HMODULE module, const char* name, DialogTemplate& out)
{
    HRSRC found = FindResourceA(module, name, RT_DIALOG);
    if (found == nullptr) return false;
    const BYTE* base = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    Reader r(base);
    bool extended = r.word() == 1 && r.word() == 0xFFFF;
    if (extended) {
        r.dword();  // help id
        r.dword();  // extended style
        out.style = r.dword();
    } else {
        r = Reader(base);
        out.style = r.dword();
        r.dword();
    }
    int count = r.word();
    r.skip(4 * sizeof(short));
    r.nameOrOrdinal();  // menu
    r.nameOrOrdinal();  // class
    out.title = r.text();
    if (out.style & DS_SETFONT) {
        out.fontPoints = r.word();
        if (extended) r.skip(2 * sizeof(WORD));  // weight, italic and charset
        out.fontFace = r.text();
    }
    for (int i = 0; i < count; i++) {
        DialogItem item;
        r.alignDword(base);
        if (extended) {
            r.dword();  // help id
            r.dword();  // extended style
            item.style = r.dword();
        } else {
            item.style = r.dword();
            r.dword();
        }
        short x = short(r.word()), y = short(r.word()), cx = short(r.word()), cy = short(r.word());
        item.box = {x, y, x + cx, y + cy};
        item.id = extended ? int(r.dword()) : int(r.word());
        item.className = predefinedClass(r.nameOrOrdinal());
        item.text = r.nameOrOrdinal();
        r.skip(r.word());
        out.items.push_back(item);
    }
    return true;
}

HMODULE loadVeldisExe()
{
    return LoadLibraryExA(winePathFromEnvironment("VELDIS_EXE").c_str(), nullptr,
                          LOAD_LIBRARY_AS_DATAFILE);
}
