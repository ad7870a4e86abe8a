// Utf8.h: reading UTF-8 text one code point at a time, and the upper-casing every text draw uses.
#pragma once

#include <cstdint>

// Decodes the code point at *cursor and advances past it. 0 ends the text (the cursor stays on the
// terminating byte); a sequence cut short by the terminating byte also yields 0. Continuation bytes are
// not validated, but nothing past the terminating byte is ever read.
uint32_t DecodeUTF8(const char** cursor);

// Upper case of ASCII, Latin-1 and Latin Extended-A letters (255 becomes 376); anything else unchanged.
uint32_t ToUpperCodepoint(uint32_t codepoint);
