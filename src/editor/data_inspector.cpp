#include "editor/data_inspector.h"

#include <cstdio>

#include "editor/editor_state.h"
#include "editor/selection.h"
#include "platform/commands.h"
#include "platform/platform.h"
#include "platform/settings.h"

const char* const INSPECTOR_HEADERS[INSPECTOR_COLUMN_COUNT] = {"種類", "値"};

InspectorRows inspectorRows;

namespace {

enum class ValueForm {
    Unsigned,
    Signed,
    Hex,
    DosTime,   // FAT: the time word, then the date word
    FileTime,  // 100 ns since 1601, as NTFS and Windows keep it
    UnixTime,  // signed seconds since 1970
};

struct RowForm {
    const char* name;
    uint32_t width;
    bool bigEndian;
    ValueForm form;
};

constexpr RowForm ROW_FORMS[INSPECTOR_ROW_COUNT] = {
    {"8ﾋﾞｯﾄ 符号なし", 1, false, ValueForm::Unsigned},
    {"8ﾋﾞｯﾄ 符号付き", 1, false, ValueForm::Signed},
    {"16ﾋﾞｯﾄ 符号なし LE", 2, false, ValueForm::Unsigned},
    {"16ﾋﾞｯﾄ 符号付き LE", 2, false, ValueForm::Signed},
    {"16ﾋﾞｯﾄ 符号なし BE", 2, true, ValueForm::Unsigned},
    {"16ﾋﾞｯﾄ 符号付き BE", 2, true, ValueForm::Signed},
    {"32ﾋﾞｯﾄ 符号なし LE", 4, false, ValueForm::Unsigned},
    {"32ﾋﾞｯﾄ 符号付き LE", 4, false, ValueForm::Signed},
    {"32ﾋﾞｯﾄ 符号なし BE", 4, true, ValueForm::Unsigned},
    {"32ﾋﾞｯﾄ 符号付き BE", 4, true, ValueForm::Signed},
    {"64ﾋﾞｯﾄ 符号なし LE", 8, false, ValueForm::Unsigned},
    {"64ﾋﾞｯﾄ 符号付き LE", 8, false, ValueForm::Signed},
    {"64ﾋﾞｯﾄ 符号なし BE", 8, true, ValueForm::Unsigned},
    {"64ﾋﾞｯﾄ 符号付き BE", 8, true, ValueForm::Signed},
    {"8ﾋﾞｯﾄ 16進", 1, false, ValueForm::Hex},
    {"16ﾋﾞｯﾄ 16進 LE", 2, false, ValueForm::Hex},
    {"16ﾋﾞｯﾄ 16進 BE", 2, true, ValueForm::Hex},
    {"32ﾋﾞｯﾄ 16進 LE", 4, false, ValueForm::Hex},
    {"32ﾋﾞｯﾄ 16進 BE", 4, true, ValueForm::Hex},
    {"64ﾋﾞｯﾄ 16進 LE", 8, false, ValueForm::Hex},
    {"64ﾋﾞｯﾄ 16進 BE", 8, true, ValueForm::Hex},
    {"DOS 日付時刻", 4, false, ValueForm::DosTime},
    {"FILETIME", 8, false, ValueForm::FileTime},
    {"UNIX 時刻 32ﾋﾞｯﾄ", 4, false, ValueForm::UnixTime},
    {"UNIX 時刻 64ﾋﾞｯﾄ", 8, false, ValueForm::UnixTime},
};

constexpr int64_t SECONDS_PER_DAY = 86400;
constexpr uint64_t FILETIME_TICKS_PER_SECOND = 10000000;
// From 1601-01-01 to 1970-01-01.
constexpr int64_t FILETIME_UNIX_SECONDS = 11644473600;
// Years that take four digits; the rest say they are out of range.
constexpr int64_t FIRST_SHOWN_YEAR = 1;
constexpr int64_t LAST_SHOWN_YEAR = 9999;

uint64_t readValue(const uint8_t* bytes, uint32_t width, bool bigEndian)
{
    uint64_t value = 0;
    for (uint32_t k = 0; k < width; k++)
        value |= uint64_t(bytes[bigEndian ? width - 1 - k : k]) << (8 * k);
    return value;
}

int64_t signExtend(uint64_t value, uint32_t width)
{
    uint64_t sign = uint64_t(1) << (8 * width - 1);
    return int64_t((value ^ sign) - sign);
}

struct CivilTime {
    int64_t year;
    unsigned month, day, hour, minute, second;
};

// Howard Hinnant's days-to-civil: the proleptic Gregorian calendar, in
// 400-year eras of 146097 days counted from 0000-03-01.
CivilTime civilFromSeconds(int64_t seconds)
{
    int64_t days = seconds / SECONDS_PER_DAY;
    int64_t inDay = seconds % SECONDS_PER_DAY;
    if (inDay < 0) {
        inDay += SECONDS_PER_DAY;
        days--;
    }
    int64_t z = days + 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t dayOfEra = z - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    CivilTime time;
    time.day = unsigned(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    time.month = unsigned(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    time.year = yearOfEra + era * 400 + (time.month <= 2 ? 1 : 0);
    time.hour = unsigned(inDay / 3600);
    time.minute = unsigned(inDay / 60 % 60);
    time.second = unsigned(inDay % 60);
    return time;
}

// `fraction` follows the seconds (with its point), then " UTC".
void formatUtc(int64_t seconds, const char* fraction, char* text)
{
    CivilTime t = civilFromSeconds(seconds);
    if (t.year < FIRST_SHOWN_YEAR || t.year > LAST_SHOWN_YEAR) {
        std::snprintf(text, INSPECTOR_VALUE_SIZE, "範囲外");
        return;
    }
    std::snprintf(text, INSPECTOR_VALUE_SIZE, "%04d/%02u/%02u %02u:%02u:%02u%s UTC", int(t.year),
                  t.month, t.day, t.hour, t.minute, t.second, fraction);
}

void formatFileTime(uint64_t ticks, char* text)
{
    char fraction[16];
    std::snprintf(fraction, sizeof fraction, ".%07u", unsigned(ticks % FILETIME_TICKS_PER_SECOND));
    formatUtc(int64_t(ticks / FILETIME_TICKS_PER_SECOND) - FILETIME_UNIX_SECONDS, fraction, text);
}

bool isLeapYear(unsigned year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

unsigned daysInMonth(unsigned year, unsigned month)
{
    static const unsigned DAYS[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : DAYS[month - 1];
}

// A field out of its range shows as "??": a wrong date is worse than none.
void formatField(char* text, unsigned value, bool valid)
{
    if (valid)
        std::snprintf(text, 3, "%02u", value);
    else
        std::snprintf(text, 3, "??");
}

void formatDosTime(uint32_t time, uint32_t date, char* text)
{
    unsigned year = 1980 + (date >> 9), month = date >> 5 & 15, day = date & 31;
    unsigned hour = time >> 11, minute = time >> 5 & 63, second = (time & 31) * 2;
    bool monthValid = month >= 1 && month <= 12;
    unsigned lastDay = monthValid ? daysInMonth(year, month) : 31;
    char fields[5][3];
    formatField(fields[0], month, monthValid);
    formatField(fields[1], day, day >= 1 && day <= lastDay);
    formatField(fields[2], hour, hour < 24);
    formatField(fields[3], minute, minute < 60);
    formatField(fields[4], second, second < 60);
    std::snprintf(text, INSPECTOR_VALUE_SIZE, "%u/%s/%s %s:%s:%s", year, fields[0], fields[1],
                  fields[2], fields[3], fields[4]);
}

void formatRow(const RowForm& row, const uint8_t* bytes, char* text)
{
    uint64_t value = readValue(bytes, row.width, row.bigEndian);
    switch (row.form) {
    case ValueForm::Unsigned:
        std::snprintf(text, INSPECTOR_VALUE_SIZE, "%llu", (unsigned long long)value);
        break;
    case ValueForm::Signed:
        std::snprintf(text, INSPECTOR_VALUE_SIZE, "%lld", (long long)signExtend(value, row.width));
        break;
    case ValueForm::Hex:
        std::snprintf(text, INSPECTOR_VALUE_SIZE, "%0*llXh", int(2 * row.width),
                      (unsigned long long)value);
        break;
    case ValueForm::DosTime:
        formatDosTime(uint32_t(value & 0xFFFF), uint32_t(value >> 16), text);
        break;
    case ValueForm::FileTime: formatFileTime(value, text); break;
    case ValueForm::UnixTime: formatUtc(signExtend(value, row.width), "", text); break;
    }
}

}  // namespace

const char* inspectorRowName(int row)
{
    return ROW_FORMS[row].name;
}

void inspectBytes(const uint8_t* bytes, uint32_t available, InspectorRows& rows)
{
    for (int k = 0; k < INSPECTOR_ROW_COUNT; k++) {
        rows.values[k][0] = '\0';
        if (ROW_FORMS[k].width <= available) formatRow(ROW_FORMS[k], bytes, rows.values[k]);
    }
}

void showInspector()
{
    if (settings.inspectorView == 0) return;
    uint32_t caret = caretByte();
    bool shown = editor.source.kind != SourceKind::None && caret < editor.sectorSize;
    inspectBytes(editor.workBuffer + (shown ? caret : 0), shown ? editor.sectorSize - caret : 0,
                 inspectorRows);
    platform.showInspector(true);
}

void toggleDataInspector()
{
    settings.inspectorView = settings.inspectorView == 0 ? 1 : 0;
    setCommandChecked(CMD_DATA_INSPECTOR, settings.inspectorView != 0);
    if (settings.inspectorView == 0) {
        platform.showInspector(false);
        return;
    }
    showInspector();
}
