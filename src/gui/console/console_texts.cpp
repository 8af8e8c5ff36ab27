#include "gui/console/console_texts.h"

#include <QApplication>
#include <QFontDatabase>

#include "core/model/catalogues.h"

namespace room::gui {

namespace {
QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

QString consoleCaption(const model::RoomTypeConfig& room) {
    return QStringLiteral("接线图:   酒店名称:") + fromUtf8(room.hotelName) +
           QStringLiteral("   房型:") + fromUtf8(room.roomTypeName) +
           QStringLiteral("   房型编号:") + fromUtf8(room.roomTypeNumberText) +
           QStringLiteral("   主机型号:") + fromUtf8(model::systemTypeName(room.systemType)) +
           QStringLiteral("   版本号:") + kConsoleVersionText;
}

QString consoleTitleLine(const model::RoomTypeConfig& room, const QDateTime& at) {
    const QDate date = at.date();
    const QTime time = at.time();
    const std::string system(model::systemTypeName(room.systemType));
    return QString::asprintf(
        "接线图:   酒店名称:%s   房型:%s   房型编号:%s   主机型号:%s   %02d-%02d-%02d  %02d:%02d "
        "星期%d",
        room.hotelName.c_str(), room.roomTypeName.c_str(), room.roomTypeNumberText.c_str(),
        system.c_str(), date.year(), date.month(), date.day(), time.hour(), time.minute(),
        date.dayOfWeek() % 7);
}

QString runName(commissioning::RunMode mode) {
    switch (mode) {
        case commissioning::RunMode::SendAll:
            return QStringLiteral("下发所有");
        case commissioning::RunMode::VerifyAll:
            return QStringLiteral("校验所有");
        case commissioning::RunMode::ReadAll:
            return QStringLiteral("读取所有");
        case commissioning::RunMode::Scan:
            return QStringLiteral("扫描总线");
        default:
            return QStringLiteral("清除所有");
    }
}

QFont consoleFont() {
    const QStringList families = QFontDatabase::families();
    for (const char* name : {"宋体", "SimSun", "NSimSun", "WenQuanYi Micro Hei"}) {
        const QString family = QString::fromUtf8(name);
        if (families.contains(family)) return QFont(family, 12);
    }
    QFont font = QApplication::font();
    font.setPointSize(12);
    return font;
}

}  // namespace room::gui
