#pragma once
// The rooms of the commissioning record as a table: room number, room type, latest send, latest
// verify and its result. A filter keeps one room type, or only the rooms not yet verified OK.

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <vector>

#include "core/records/room_state.h"
#include "core/records/run_record.h"

namespace room::gui {

class RoomsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { RoomNumber, RoomType, LastSend, LastVerify, Result, ColumnCount };

    explicit RoomsModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
    void setRows(std::vector<records::RoomRow> rows);
    const records::RoomRow& row(int index) const { return m_rows[static_cast<std::size_t>(index)]; }
    // A row's state, judged against the room type its room number was last commissioned with:
    // a room verified with one room type and then commissioned with another is 需复核 in the
    // older row, not 校验通过.
    records::RoomState state(int index) const { return m_states[static_cast<std::size_t>(index)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // "豪华大床房 (8)": how a room type is named in the list and its filter.
    static QString roomTypeText(const records::RoomTypeId& id);

private:
    std::vector<records::RoomRow> m_rows;
    std::vector<records::RoomState> m_states;
};

class RoomsFilter : public QSortFilterProxyModel {
    Q_OBJECT

public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setRoomType(const QString& roomType);  // empty: every room type
    void setOnlyNotVerified(bool only);

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    QString m_roomType;
    bool m_onlyNotVerified = false;
};

}  // namespace room::gui
