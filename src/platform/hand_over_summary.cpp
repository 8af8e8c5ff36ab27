// The summary pages of the hand-over PDF.

#include <map>

#include "core/records/room_number.h"
#include "platform/hand_over_pages.h"
#include "platform/hand_over_texts.h"

namespace room::platform::hand_over {

namespace {

using records::RoomState;

// The columns' order: finished first, never touched last.
constexpr RoomState kShownOrder[] = {
    RoomState::Verified, RoomState::Recheck,     RoomState::Sent,     RoomState::Faulty,
    RoomState::NoAnswer, RoomState::Interrupted, RoomState::Untouched};

std::size_t slot(RoomState state) {
    return static_cast<std::size_t>(state);
}

// Rooms counted by state under a key (a floor, a room type), keys in the order they come.
class Tallies {
public:
    void add(const QString& key, RoomState state) {
        auto [at, added] = m_index.try_emplace(key, m_rows.size());
        if (added) m_rows.push_back({key, {}});
        ++m_rows[at->second].second[slot(state)];
    }
    const std::vector<std::pair<QString, records::StateCounts>>& rows() const { return m_rows; }

private:
    std::map<QString, std::size_t> m_index;
    std::vector<std::pair<QString, records::StateCounts>> m_rows;
};

QString roomTypeText(const records::RoomTypeId& type) {
    if (type.number.empty()) return qs(type.name);
    return qs(type.name) + QStringLiteral(" (") + qs(type.number) + QStringLiteral(")");
}

std::vector<RoomState> occurring(const records::StateCounts& counts) {
    std::vector<RoomState> states;
    for (RoomState state : kShownOrder) {
        if (counts[slot(state)] > 0) states.push_back(state);
    }
    return states;
}

void countTable(PageFlow& flow, const QString& caption, const QString& keyTitle,
                const Tallies& tallies, const std::vector<RoomState>& states, const Fonts& fonts) {
    const qreal keyShare = 0.28;
    const qreal share = (1 - keyShare) / static_cast<qreal>(states.size() + 1);
    TableStyle style{caption, fonts.heading, fonts.tableBold, fonts.table, {keyShare}, {keyTitle}};
    for (RoomState state : states) {
        style.shares.push_back(share);
        style.header << qs(records::roomStateText(state));
    }
    style.shares.push_back(share);
    style.header << QStringLiteral("合计");
    flow.beginTable(std::move(style));
    for (const auto& [key, counts] : tallies.rows()) {
        QStringList cells{key};
        int total = 0;
        for (RoomState state : states) {
            cells << QString::number(counts[slot(state)]);
            total += counts[slot(state)];
        }
        flow.row(cells << QString::number(total));
    }
    flow.endTable();
}

QString latestText(const RoomStatus& room) {
    if (!room.latest) return {};
    return qs(room.latest->when) + QLatin1Char(' ') + qs(room.latest->operation);
}

void roomsNotVerified(PageFlow& flow, const ReportJob& job, const Fonts& fonts) {
    flow.beginTable({QStringLiteral("未通过校验的房间"),
                     fonts.heading,
                     fonts.tableBold,
                     fonts.table,
                     {0.14, 0.1, 0.3, 0.14, 0.32},
                     {QStringLiteral("房号"), QStringLiteral("楼层"), QStringLiteral("房型"),
                      QStringLiteral("状态"), QStringLiteral("最近一次调试")}});
    for (std::size_t index : job.rooms) {
        const RoomStatus& room = job.status.rooms.at(index);
        if (room.state == RoomState::Verified) continue;
        flow.row({qs(records::shownRoomNumber(room.room.roomNumber)), qs(room.room.floor),
                  roomTypeText(room.room.roomType), qs(records::roomStateText(room.state)),
                  latestText(room)},
                 {Qt::black, Qt::black, Qt::black, stateColour(room.state)});
    }
    flow.endTable();
}

}  // namespace

std::function<void(PageFlow&)> summaryHead(const QString& hotel, const Fonts& fonts) {
    return [hotel, font = fonts.head](PageFlow& flow) {
        flow.paragraph(hotel + QStringLiteral("    调试交接报告"), font);
        flow.rule();
    };
}

void layOutSummary(PageFlow& flow, const ReportJob& job, const Fonts& fonts) {
    Tallies floors;
    Tallies types;
    records::StateCounts counts{};
    for (std::size_t index : job.rooms) {
        const RoomStatus& room = job.status.rooms.at(index);
        floors.add(qs(room.room.floor), room.state);
        types.add(roomTypeText(room.room.roomType), room.state);
        ++counts[slot(room.state)];
    }
    flow.paragraph(QStringLiteral("调试交接报告"), fonts.title);
    flow.paragraph(QStringLiteral("酒店: ") + qs(job.status.hotel()), fonts.body);
    const auto [first, last] = job.status.period();
    if (!first.empty()) {
        flow.paragraph(QStringLiteral("调试时间: ") + qs(first) + QStringLiteral(" 至 ") + qs(last),
                       fonts.body);
    }
    flow.paragraph(qs(records::totalsText(counts)), fonts.bold);
    if (job.rooms.empty()) return;
    flow.gap(flow.millimetres(3));
    const std::vector<RoomState> states = occurring(counts);
    countTable(flow, QStringLiteral("按楼层"), QStringLiteral("楼层"), floors, states, fonts);
    countTable(flow, QStringLiteral("按房型"), QStringLiteral("房型"), types, states, fonts);
    if (counts[slot(RoomState::Verified)] == static_cast<int>(job.rooms.size())) {
        flow.paragraph(QStringLiteral("所有房间均已校验通过。"), fonts.bold, kGood);
        return;
    }
    roomsNotVerified(flow, job, fonts);
}

}  // namespace room::platform::hand_over
