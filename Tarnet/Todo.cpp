#include "Tarnet/Todo.h"

#include <iostream>
#include <stdexcept>
#include <string>

namespace Tarnet {

void ReportTodo(std::string_view feature, std::string_view detail, int level)
{
    std::string message = "[TODO] \x1b[1m";
    message += feature;
    message += "\x1b[22m";
    if (!detail.empty()) {
        message += ": ";
        message += detail;
    }
    std::cerr << (level >= 1 ? "\x1b[31m" : "\x1b[33m") << message << "\x1b[0m\n";
    if (level >= 2)
        throw std::runtime_error(message);
}

} // namespace Tarnet
