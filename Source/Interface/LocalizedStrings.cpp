// LocalizedStrings.cpp: the string table. The table points into the loaded text of strings.csv, which
// stays allocated until another language is loaded.
#include "Interface/LocalizedStrings.h"

#include "Interface/CSVIterator.h"
#include "System/Alerts.h"
#include "System/DataFiles.h"
#include "System/Memory.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

static const char* const kStringsFile = ":system:strings.csv";

static char* gStringsText; // the loaded file; null while no strings are loaded
static const char* gStrings[MAX_LOCALIZED_STRINGS];

// ---------------------------------------------------------------------------------------------------------
// Loading
// ---------------------------------------------------------------------------------------------------------

void DisposeLocalizedStrings()
{
    SafeDisposePtr(gStringsText);
    gStringsText = nullptr;
    std::memset(gStrings, 0, sizeof(gStrings));
}

// Reads one line of fields; returns the text the line gives in `languageID` (null for a line of empty
// fields) and the number of fields. *cursor becomes null at the end of the text.
static const char* ChooseLineText(char** cursor, int languageID, int* fieldCount)
{
    const char* chosen = nullptr;
    *fieldCount = 0;
    for (bool endOfLine = false; !endOfLine;) {
        char* field = CSVIterator(cursor, &endOfLine);
        if (!field)
            break;
        if (*field && (!chosen || *fieldCount == languageID))
            chosen = field;
        (*fieldCount)++;
    }
    return chosen;
}

void LoadLocalizedStrings(int languageID)
{
    DisposeLocalizedStrings();
    if (languageID < 0)
        ShowFatalAlert("%s:%d: %s", "LoadLocalizedStrings", __LINE__, "languageID >= 0");
    if (languageID >= NUM_LANGUAGES)
        ShowFatalAlert("%s:%d: %s", "LoadLocalizedStrings", __LINE__, "languageID < NUM_LANGUAGES");

    char* text = LoadDataFile(kStringsFile, nullptr);
    gStrings[0] = "???";
    if (text)
        FillStringTableFromText(text, languageID);
}

void FillStringTableFromText(char* text, int languageID)
{
    DisposeLocalizedStrings();
    gStrings[0] = "???";
    gStringsText = text;

    int nextID = 1;
    int row = 0;
    for (char* cursor = text; cursor;) {
        row++;
        int fieldCount = 0;
        const char* chosen = ChooseLineText(&cursor, languageID, &fieldCount);
        if (fieldCount > NUM_LANGUAGES)
            printf("%s: row %d has %d columns; only the first %d are languages\n", kStringsFile, row,
                   fieldCount, NUM_LANGUAGES);
        if (!chosen)
            continue;
        // The table has room for IDs up to 183; a longer file must not run past it.
        if (nextID >= MAX_LOCALIZED_STRINGS) {
            printf("%s: row %d and the rows after it would be strings beyond the last ID %d; ignored\n",
                   kStringsFile, row, MAX_LOCALIZED_STRINGS - 1);
            break;
        }
        gStrings[nextID++] = chosen;
    }
}

// ---------------------------------------------------------------------------------------------------------
// Lookup
// ---------------------------------------------------------------------------------------------------------

const char* GetLocalizedString(int stringID)
{
    if (!gStringsText)
        return "STRINGS NOT LOADED";
    if ((unsigned)stringID >= (unsigned)MAX_LOCALIZED_STRINGS)
        return "ILLEGAL STRING ID";
    return gStrings[stringID] ? gStrings[stringID] : "";
}

// Appends up to `length` bytes of text at destination[used], never cutting a UTF-8 character in two
// and always leaving room for the NUL; returns the new length.
static size_t AppendBounded(char* destination, size_t capacity, size_t used, const char* text, size_t length)
{
    size_t room = capacity - 1 - used;
    if (length > room) {
        length = room;
        while (length > 0 && (uint8_t(text[length]) & 0xC0) == 0x80)
            length--;
    }
    std::memcpy(destination + used, text, length);
    destination[used + length] = '\0';
    return used + length;
}

int FormatLocalizedString(int stringID, char* destination, size_t capacity, const char* format, ...)
{
    if (!destination || capacity == 0)
        return 0;
    const char* text = GetLocalizedString(stringID);
    const char* hash = std::strchr(text, '#');
    const size_t prefixLength = hash ? size_t(hash - text) : 0;
    if (!hash || prefixLength + 1 >= capacity)
        return (int)AppendBounded(destination, capacity, 0, text, std::strlen(text));

    size_t used = AppendBounded(destination, capacity, 0, text, prefixLength);
    va_list args;
    va_start(args, format);
    int formatted = std::vsnprintf(destination + used, capacity - used, format, args);
    va_end(args);
    if (formatted > 0)
        used += (size_t)formatted < capacity - used ? (size_t)formatted : capacity - used - 1;
    return (int)AppendBounded(destination, capacity, used, hash + 1, std::strlen(hash + 1));
}
