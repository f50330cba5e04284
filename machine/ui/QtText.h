#pragma once
// The tooling and offset windows hand the texts of the tooling units
// (UTF-8 std::string) to their Qt widgets through Q.

#include <QString>

#include <string>

namespace orv {

inline QString Q(const std::string &Text) { return QString::fromStdString(Text); }

} // namespace orv
