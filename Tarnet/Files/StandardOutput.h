// Where the program's standard output goes: a person at a terminal, or a file or pipe of a script.
#pragma once

namespace Tarnet {

// True when standard output is an interactive terminal.
bool IsStandardOutputATerminal();

} // namespace Tarnet
