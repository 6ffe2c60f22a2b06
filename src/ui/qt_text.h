// Texts cross here from the Qt-free layers (UTF-8 std::string) into widgets.
#pragma once

#include <QString>
#include <string>

namespace korv {

inline QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace korv
