#pragma once
// The painted board of a job: a row per floor with the floor at its start and its shown rooms
// counted at its end, a cell per room in its state's colour. One widget paints every cell, so a
// hotel of thousands of rooms stays quick; it sits in a scroll area. A click selects a room, a
// double click (or Enter) opens it; the arrow keys move between rooms.

#include <QFont>
#include <QWidget>
#include <vector>

#include "gui/job/board_rows.h"

namespace room::gui {

class JobBoard : public QWidget {
    Q_OBJECT

public:
    explicit JobBoard(QWidget* parent = nullptr);

    // Keeps the selected room when it is still there.
    void setRooms(std::vector<platform::RoomStatus> rooms);
    void setFilter(BoardFilter filter);
    const std::vector<platform::RoomStatus>& rooms() const { return m_rooms; }
    const std::vector<BoardRow>& rows() const { return m_rows; }
    const BoardFilter& filter() const { return m_filter; }

    // -1 when the board has no such room.
    int indexOf(const QString& roomNumber) const;
    bool isShown(int index) const;
    QRect cellRect(int index) const;
    // Room number, floor, room type, state and latest run, a line each.
    QString toolTipOf(int index) const;
    int selected() const { return m_selected; }
    void select(int index);
    // The shown rooms, room numbers in board order.
    std::vector<std::string> shownRoomNumbers() const;
    records::StateCounts shownCounts() const;

    QSize sizeHint() const override { return minimumSize(); }

signals:
    void selectedChanged(int index);
    void activated(int index);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void measure();
    void arrange();
    void place();
    int hit(QPoint at) const;
    int rowAt(QPoint at) const;
    QString rowToolTip(int row) const;
    void paintCells(QPainter& painter, int row);
    void paintEnds(QPainter& painter, int row);
    void moveSelection(int rows, int columns);

    std::vector<platform::RoomStatus> m_rooms;
    BoardFilter m_filter;
    std::vector<BoardRow> m_rows;
    std::vector<QRect> m_cells;   // by room index
    std::vector<QPoint> m_where;  // by room index: (column, row)
    int m_selected = -1;
    // Measured from the fonts: the floor column, the narrowest cell, the totals column.
    QFont m_cellFont;
    int m_floorWidth = 0;
    int m_narrowest = 0;
    int m_cellHeight = 0;
    int m_totalsWidth = 0;
    int m_top = 0;  // below the column titles
    int m_columns = 0;
    int m_totalsLeft = 0;
};

}  // namespace room::gui
