// The layer's report for Toolbox features it does not implement.
#pragma once

#include <string_view>

namespace Tarnet {

// Writes "[TODO] <feature>: <detail>" in colour to standard error (yellow at level 0, red at 1
// and 2); an empty detail is left out. At level 2 it then throws std::runtime_error with the
// message, because carrying on would give wrong results.
void ReportTodo(std::string_view feature, std::string_view detail = {}, int level = 1);

} // namespace Tarnet
