// CSVIterator.cpp: the in-place CSV tokenizer. The field is copied towards the front of the text as it
// is read (a quoted field moves left by its opening quote, a dropped CR shifts the rest), so the
// write position trails the read position and the text needs no second buffer.
#include "Interface/CSVIterator.h"

#include "System/Alerts.h"

enum class FieldState
{
    Unquoted,
    Quoted,
    AfterClosingQuote,
};

[[noreturn]] static void CSVFault(int line, const char* condition)
{
    ShowFatalAlert("%s:%d: %s", "CSVIterator", line, condition);
}

char* CSVIterator(char** csvCursor, bool* endOfLine)
{
    if (!csvCursor)
        CSVFault(__LINE__, "csvCursor");
    if (!*csvCursor)
        CSVFault(__LINE__, "*csvCursor");

    *endOfLine = false;
    char* reader = *csvCursor;
    if (*reader == '\0') {
        *csvCursor = nullptr;
        *endOfLine = true;
        return nullptr;
    }

    char* const field = reader;
    char* writer = reader;
    FieldState state = FieldState::Unquoted;
    if (*reader == '"') {
        state = FieldState::Quoted;
        reader++;
    }

    for (char c; (c = *reader) != '\0';) {
        // Windows line ends: the CR goes, whatever the state, and the LF is read next.
        if (c == '\r' && reader[1] == '\n') {
            reader++;
            continue;
        }
        reader++;
        if (state == FieldState::Quoted) {
            if (c == '"') {
                state = FieldState::AfterClosingQuote;
                continue;
            }
        } else if (c == ',' || c == '\n') {
            *endOfLine = c == '\n';
            break;
        } else if (state == FieldState::AfterClosingQuote) {
            ShowFatalAlert("unexpected token in CSV file");
        }
        // Copying in place is only safe while the writer trails the reader.
        if (writer >= reader)
            ShowFatalAlert("writer went past reader!!!");
        *writer++ = c;
    }

    *writer = '\0';
    *csvCursor = reader;
    return field;
}
