// The tokenizer of the game's CSV tables (strings.csv, twitch.csv). Fields are separated by ',' and
// lines by LF (a CR right before a LF is dropped). A field that starts with '"' is quoted: commas
// and line feeds inside it are text, and the next '"' ends it; a doubled quote is not an escape, so
// a field can never hold '"'. After a closing quote only ',' or a line feed may follow.
#pragma once

// Returns the next field of the writable NUL-terminated text at *csvCursor, written in place over
// the text (NUL-terminated, quotes removed), and moves *csvCursor past it. *endOfLine is set when a
// line feed ended the field. At the end of the text: returns null, sets *endOfLine and makes
// *csvCursor null. A null cursor, text after a closing quote other than ',' or a line feed, are
// fatal ("unexpected token in CSV file").
char* CSVIterator(char** csvCursor, bool* endOfLine);
