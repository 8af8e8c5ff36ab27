#pragma once
// How the record's plain values cross into Qt SQL and back: UTF-8 text both ways.

#include <QString>
#include <QVariant>
#include <string>

namespace room::platform::recordvalues {

inline QString text(const std::string& value) {
    return QString::fromStdString(value);
}

inline std::string utf8(const QVariant& value) {
    return value.toString().toStdString();
}

}  // namespace room::platform::recordvalues
