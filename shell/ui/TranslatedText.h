#pragma once
// Tarnwick's windows show their texts in the user's language: QTr gives the
// text as the message table translates it, ready for a widget.

#include <QString>

#include <string>

namespace orv {

QString QTr(const std::string &Text);

} // namespace orv
