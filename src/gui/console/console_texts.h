#pragma once
// The console's own words and font: its caption, the title line it opens with, the names of its
// runs, and "宋体" 12 where the machine has it.

#include <QDateTime>
#include <QFont>
#include <QString>

#include "core/commissioning/effects.h"
#include "core/model/room_type.h"

namespace room::gui {

// "V1.6.2": the version the caption shows after "版本号:".
inline const QString kConsoleVersionText = QStringLiteral("V1.6.2");

// Caption: "接线图:   酒店名称:..." up to "版本号:" and the version.
QString consoleCaption(const model::RoomTypeConfig& room);
// Title line with the date, time and weekday (0 for Sunday) of `at`.
QString consoleTitleLine(const model::RoomTypeConfig& room, const QDateTime& at);
// "下发所有", "校验所有", "读取所有" or "清除所有".
QString runName(commissioning::RunMode mode);
// "宋体" 12 as on the installers' machines; elsewhere the nearest Chinese font there is.
QFont consoleFont();

}  // namespace room::gui
