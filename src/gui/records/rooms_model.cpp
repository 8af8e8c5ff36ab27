#include "gui/records/rooms_model.h"

#include <QBrush>
#include <QColor>

#include <map>

namespace room::gui {

namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

// "无应答 6/7": the state and how many devices of the deciding run were OK.
QString resultText(const records::RoomRow& r, records::RoomState stateOfRow) {
    const QString state = QString::fromUtf8(records::roomStateText(stateOfRow).data());
    if (!r.latest) return state;
    return state + QStringLiteral(" %1/%2").arg(r.latest->ok).arg(r.latest->devices);
}

}  // namespace

void RoomsModel::setRows(std::vector<records::RoomRow> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    // Per room number, the hash of its latest send all or verify all of any room type.
    std::map<std::string, const records::RunFacts*> newest;
    for (const records::RoomRow& r : m_rows) {
        if (!r.latest) continue;
        const records::RunFacts*& known = newest[r.roomNumber];
        if (!known || r.latest->id > known->id) known = &*r.latest;
    }
    m_states.clear();
    for (const records::RoomRow& r : m_rows) {
        const auto found = newest.find(r.roomNumber);
        m_states.push_back(records::roomState(r.latest, found == newest.end() ? r.roomType.hash
                                                                               : found->second->hash));
    }
    endResetModel();
}

int RoomsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int RoomsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString RoomsModel::roomTypeText(const records::RoomTypeId& id) {
    return QStringLiteral("%1 %2 (%3)").arg(text(id.hotel), text(id.name), text(id.number));
}

QVariant RoomsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const records::RoomRow& r = row(index.row());
    if (role == Qt::ForegroundRole && index.column() == Result) {
        const records::RoomState state = this->state(index.row());
        if (state == records::RoomState::Untouched || state == records::RoomState::Sent) {
            return QBrush(QColor(110, 110, 110));
        }
        return QBrush(state == records::RoomState::Verified ? QColor(26, 127, 55) : QColor(180, 35, 24));
    }
    if (role == Qt::ToolTipRole && index.column() == Result && r.latest) {
        return QString::fromStdString(records::factsLine(*r.latest));
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    switch (index.column()) {
        case RoomNumber:
            return text(r.roomNumber);
        case RoomType:
            return roomTypeText(r.roomType);
        case LastSend:
            return text(r.lastSend);
        case LastVerify:
            return text(r.lastVerify);
        case Result:
            return resultText(r, state(index.row()));
        default:
            return {};
    }
}

QVariant RoomsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kHeaders[] = {"房号", "房型", "最近下发", "最近校验", "状态"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(kHeaders[section]) : QVariant();
}

void RoomsFilter::setRoomType(const QString& roomType) {
    m_roomType = roomType;
    invalidateFilter();
}

void RoomsFilter::setOnlyNotVerified(bool only) {
    m_onlyNotVerified = only;
    invalidateFilter();
}

bool RoomsFilter::filterAcceptsRow(int row, const QModelIndex&) const {
    const auto* rooms = static_cast<const RoomsModel*>(sourceModel());
    const records::RoomRow& r = rooms->row(row);
    if (m_onlyNotVerified && rooms->state(row) == records::RoomState::Verified) return false;
    return m_roomType.isEmpty() || RoomsModel::roomTypeText(r.roomType) == m_roomType;
}

// Room numbers sort as numbers where they are ("902" before "1208").
bool RoomsFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const QString a = left.data().toString();
    const QString b = right.data().toString();
    bool aNumber = false;
    bool bNumber = false;
    const qlonglong x = a.toLongLong(&aNumber);
    const qlonglong y = b.toLongLong(&bNumber);
    if (aNumber && bNumber) return x < y;
    if (aNumber != bNumber) return aNumber;  // numbered rooms first
    return a < b;
}

}  // namespace room::gui
