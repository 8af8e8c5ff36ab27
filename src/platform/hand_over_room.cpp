// A room's pages of the hand-over PDF.

#include <QList>

#include "core/model/catalogues.h"
#include "core/records/difference_words.h"
#include "core/records/room_number.h"
#include "platform/hand_over_pages.h"
#include "platform/hand_over_texts.h"

namespace room::platform::hand_over {

namespace {

using records::RoomState;

// A short history: the latest entries; the CSV and the record have the rest.
constexpr std::size_t kHistoryRows = 10;
// A device with at most this many differences fits a page whatever they say.
constexpr std::size_t kFewDifferences = 8;

QString pair(const QString& label, std::string_view value, const QString& label2,
             std::string_view value2) {
    return label + qs(value) + QStringLiteral("        ") + label2 + qs(value2);
}

void facts(PageFlow& flow, const ReportRoom& room, const Fonts& fonts) {
    const RoomStatus& status = room.status;
    const records::RunRecord* run = room.run ? &*room.run : nullptr;
    const records::RoomTypeId& type = run ? run->roomType : status.room.roomType;
    flow.paragraph(QStringLiteral("房间 ") + qs(records::shownRoomNumber(status.room.roomNumber)),
                   fonts.heading);
    flow.paragraph(
        pair(QStringLiteral("房型: "), type.name, QStringLiteral("房型编号: "), type.number),
        fonts.body);
    if (!run) {
        flow.paragraph(QStringLiteral("现在的房型哈希: ") + qs(status.hashNow), fonts.body);
    } else {
        flow.paragraph(QStringLiteral("房型哈希: ") + qs(run->roomType.hash), fonts.body);
    }
    if (status.hashNow.empty() && !status.room.roomTypePath.empty()) {
        // The job names a file that is gone or unreadable: nothing can be confirmed against it.
        flow.paragraph(QStringLiteral("房型文件无法读取, 无法确认: ") + qs(status.room.roomTypePath),
                       fonts.body, kBad);
    }
    if (run && hashChanged(*run, status.hashNow)) {
        flow.paragraph(QStringLiteral("现在的房型文件与调试时不同, 现为: ") + qs(status.hashNow),
                       fonts.body, kBad);
    }
    flow.paragraph(QStringLiteral("状态: ") + qs(stateLine(status.state, run)), fonts.bold,
                   stateColour(status.state));
    if (!run) return;
    flow.paragraph(pair(QStringLiteral("操作: "), run->operation, QStringLiteral("时间: "),
                        timeText(run->when, run->utcOffset)),
                   fonts.body);
    flow.paragraph(pair(QStringLiteral("调试人员: "), run->installer, QStringLiteral("计算机: "),
                        run->machine),
                   fonts.body);
    flow.paragraph(pair(QStringLiteral("端口: "), run->port, QStringLiteral("程序版本: "),
                        run->programVersion),
                   fonts.body);
}

QStringList deviceCells(const records::DeviceResult& device, const QString& number,
                        const QStringList& differences) {
    return {number, qs(model::deviceTypeName(device.type)), qs(device.location),
            qs(records::verdictText(device.verdict)), differences.join(QLatin1Char('\n'))};
}

// A device with more differences than a page holds goes on in rows of its own.
void deviceRows(PageFlow& flow, const records::DeviceResult& device) {
    const QString number = QStringLiteral("%1").arg(device.device, 2, 10, QLatin1Char('0'));
    const std::vector<QColor> colours = {Qt::black, Qt::black, Qt::black,
                                         device.verdict == records::Verdict::Ok ? kGood : kBad};
    QStringList lines;
    for (const std::string& line : device.differences) {
        lines << qs(records::differenceInWords(line));
    }
    if (device.differences.size() <= kFewDifferences) {
        flow.row(deviceCells(device, number, lines), colours);
        return;
    }
    QStringList part;
    QString shownNumber = number;
    for (const QString& line : lines) {
        if (!part.isEmpty() &&
            !flow.rowFitsAPage(deviceCells(device, shownNumber, part + QStringList{line}))) {
            flow.row(deviceCells(device, shownNumber, part), colours);
            shownNumber = number + QStringLiteral(" (续)");
            part.clear();
        }
        part << line;
    }
    flow.row(deviceCells(device, shownNumber, part), colours);
}

void devices(PageFlow& flow, const records::RunRecord& run, const Fonts& fonts) {
    flow.beginTable({QStringLiteral("设备"),
                     fonts.heading,
                     fonts.tableBold,
                     fonts.table,
                     {0.08, 0.14, 0.18, 0.11, 0.49},
                     {QStringLiteral("编号"), QStringLiteral("设备类型"), QStringLiteral("位置"),
                      QStringLiteral("结果"), QStringLiteral("差异")}});
    for (const records::DeviceResult& device : run.devices) deviceRows(flow, device);
    flow.endTable();
}

void history(PageFlow& flow, const ReportRoom& room, const Fonts& fonts) {
    flow.beginTable({QStringLiteral("调试记录"),
                     fonts.heading,
                     fonts.tableBold,
                     fonts.table,
                     {0.22, 0.12, 0.14, 0.52},
                     {QStringLiteral("时间"), QStringLiteral("操作"), QStringLiteral("调试人员"),
                      QStringLiteral("结果")}});
    const std::size_t shown = std::min(room.history.size(), kHistoryRows);
    for (std::size_t i = 0; i < shown; ++i) {
        const records::RunFacts& entry = room.history[i];
        flow.row({qs(entry.when), qs(entry.operation), qs(entry.installer),
                  qs(historyLine(entry, room.status.hashNow))});
    }
    flow.endTable();
    if (room.history.size() > shown) {
        flow.paragraph(QStringLiteral("另有%1条更早的记录").arg(room.history.size() - shown),
                       fonts.body);
    }
}

}  // namespace

QColor stateColour(RoomState state) {
    if (state == RoomState::Verified) return kGood;
    if (state == RoomState::Sent || state == RoomState::Untouched) return Qt::black;
    return kBad;
}

std::function<void(PageFlow&)> roomHead(const RoomStatus& room, const QString& hotel,
                                        const Fonts& fonts) {
    const QString line = QStringLiteral("房号 ") +
                         qs(records::shownRoomNumber(room.room.roomNumber)) +
                         QStringLiteral("    ") + hotel;
    return [line, font = fonts.head](PageFlow& flow) {
        flow.paragraph(line, font);
        flow.rule();
    };
}

void layOutRoom(PageFlow& flow, const ReportRoom& room, const Fonts& fonts) {
    facts(flow, room, fonts);
    flow.gap(flow.millimetres(2));
    if (room.run && !room.run->devices.empty()) devices(flow, *room.run, fonts);
    if (!room.history.empty()) history(flow, room, fonts);
    flow.gap(flow.millimetres(6));
    flow.keptLines(
        {QStringLiteral("调试人员: ____ 日期: ____"), QStringLiteral("验收人员: ____ 日期: ____")},
        fonts.signature, flow.millimetres(10));
}

}  // namespace room::platform::hand_over
