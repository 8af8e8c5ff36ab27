#include "gui/job/job_board.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollArea>
#include <QToolTip>
#include <algorithm>

#include "core/records/room_number.h"
#include "gui/job/state_look.h"

namespace room::gui {

namespace {

constexpr int kMargin = 6;
constexpr int kGap = 3;
constexpr int kWidestCell = 96;

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

QString floorText(const BoardRow& row) {
    return row.floor.isEmpty() ? QStringLiteral("—") : row.floor + QStringLiteral("层");
}

QString rowTotals(const BoardRow& row) {
    return QStringLiteral("%1间 通过%2")
        .arg(roomsIn(row.shown))
        .arg(row.shown[static_cast<std::size_t>(records::RoomState::Verified)]);
}

}  // namespace

JobBoard::JobBoard(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("jobBoard"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    measure();
    arrange();
}

void JobBoard::setRooms(std::vector<platform::RoomStatus> rooms) {
    const QString kept = m_selected >= 0 ? text(m_rooms[m_selected].room.roomNumber) : QString();
    m_rooms = std::move(rooms);
    m_selected = -1;
    measure();
    arrange();
    m_selected = kept.isNull() ? -1 : indexOf(kept);
    emit selectedChanged(m_selected);
}

void JobBoard::setFilter(BoardFilter filter) {
    m_filter = std::move(filter);
    arrange();
}

int JobBoard::indexOf(const QString& roomNumber) const {
    const std::string wanted = roomNumber.toStdString();
    for (std::size_t i = 0; i < m_rooms.size(); ++i) {
        if (m_rooms[i].room.roomNumber == wanted) return static_cast<int>(i);
    }
    return -1;
}

bool JobBoard::isShown(int index) const {
    return index >= 0 && index < static_cast<int>(m_rooms.size()) && m_filter.shows(m_rooms[index]);
}

QRect JobBoard::cellRect(int index) const {
    return index >= 0 && index < static_cast<int>(m_cells.size()) ? m_cells[index] : QRect();
}

QString JobBoard::toolTipOf(int index) const {
    if (index < 0 || index >= static_cast<int>(m_rooms.size())) return {};
    const platform::RoomStatus& r = m_rooms[index];
    QStringList lines{
        QStringLiteral("房号: %1").arg(text(records::shownRoomNumber(r.room.roomNumber))),
        QStringLiteral("楼层: %1").arg(text(r.room.floor)),
        QStringLiteral("房型: %1").arg(roomTypeText(r)),
        QStringLiteral("状态: %1").arg(stateText(r.state))};
    lines << (r.latest ? QStringLiteral("最近: %1 %2").arg(text(r.latest->when),
                                                          text(records::factsLine(*r.latest)))
                       : QStringLiteral("最近: 没有下发或校验"));
    return lines.join(QLatin1Char('\n'));
}

void JobBoard::select(int index) {
    if (index < -1 || index >= static_cast<int>(m_rooms.size()) || index == m_selected) return;
    m_selected = index;
    setAccessibleDescription(toolTipOf(index));
    update();
    if (index >= 0) {
        // The board's scroll area brings the room into view when the keys move to it.
        auto* area = parentWidget() ? qobject_cast<QScrollArea*>(parentWidget()->parentWidget())
                                    : nullptr;
        const QRect cell = m_cells[index];
        if (area) area->ensureVisible(cell.center().x(), cell.center().y(), cell.width(),
                                      cell.height() + kGap);
    }
    emit selectedChanged(index);
}

std::vector<std::string> JobBoard::shownRoomNumbers() const {
    std::vector<std::string> numbers;
    for (const BoardRow& row : m_rows) {
        for (int i : row.rooms) {
            if (isShown(i)) numbers.push_back(m_rooms[i].room.roomNumber);
        }
    }
    return numbers;
}

records::StateCounts JobBoard::shownCounts() const {
    records::StateCounts counts{};
    for (const BoardRow& row : m_rows) {
        for (std::size_t s = 0; s < counts.size(); ++s) counts[s] += row.shown[s];
    }
    return counts;
}

void JobBoard::measure() {
    const QFontMetrics fm = fontMetrics();
    int widest = fm.horizontalAdvance(QStringLiteral("8888"));
    for (const platform::RoomStatus& r : m_rooms) {
        widest = std::max(widest, fm.horizontalAdvance(text(r.room.roomNumber)));
    }
    m_cell = QSize(std::min(widest + 10, kWidestCell), fm.height() + 10);
    m_floorWidth = fm.horizontalAdvance(QStringLiteral("888层")) + 12;
    m_totalsWidth = fm.horizontalAdvance(QStringLiteral("8888间 通过8888")) + 12;
}

void JobBoard::arrange() {
    m_rows = boardRows(m_rooms, m_filter);
    m_cells.assign(m_rooms.size(), QRect());
    m_where.assign(m_rooms.size(), QPoint());
    const QFontMetrics fm = fontMetrics();
    std::size_t columns = 0;
    for (const BoardRow& row : m_rows) {
        columns = std::max(columns, row.rooms.size());
        m_floorWidth = std::max(m_floorWidth, fm.horizontalAdvance(floorText(row)) + 12);
    }
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        const std::vector<int>& rooms = m_rows[r].rooms;
        for (std::size_t c = 0; c < rooms.size(); ++c) {
            m_cells[rooms[c]] = QRect(kMargin + m_floorWidth + int(c) * (m_cell.width() + kGap),
                                      kMargin + int(r) * (m_cell.height() + kGap), m_cell.width(),
                                      m_cell.height());
            m_where[rooms[c]] = QPoint(int(c), int(r));
        }
    }
    const int cellsWidth = int(columns) * (m_cell.width() + kGap);
    m_totalsLeft = kMargin + m_floorWidth + cellsWidth;
    m_size = QSize(2 * kMargin + m_floorWidth + cellsWidth + m_totalsWidth,
                   2 * kMargin + int(m_rows.size()) * (m_cell.height() + kGap));
    if (m_rows.empty()) m_size = QSize(360, 4 * m_cell.height());
    setMinimumSize(m_size);
    updateGeometry();
    update();
}

int JobBoard::hit(QPoint at) const {
    const int row = rowAt(at);
    if (row < 0) return -1;
    for (int i : m_rows[row].rooms) {
        if (m_cells[i].contains(at)) return i;
    }
    return -1;
}

int JobBoard::rowAt(QPoint at) const {
    const int pitch = m_cell.height() + kGap;
    const int row = (at.y() - kMargin) / pitch;
    if (at.y() < kMargin || row >= static_cast<int>(m_rows.size())) return -1;
    return at.y() - kMargin - row * pitch < m_cell.height() ? row : -1;
}

QString JobBoard::rowToolTip(int row) const {
    return floorText(m_rows[row]) + QStringLiteral(" ") +
           text(records::totalsText(m_rows[row].shown));
}

bool JobBoard::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const int index = hit(help->pos());
    const int row = rowAt(help->pos());
    if (index >= 0) {
        QToolTip::showText(help->globalPos(), toolTipOf(index), this, m_cells[index]);
    } else if (row >= 0) {
        QToolTip::showText(help->globalPos(), rowToolTip(row), this);
    } else {
        QToolTip::hideText();
        event->ignore();
    }
    return true;
}

void JobBoard::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), boardBackground());
    if (m_rows.empty()) {
        painter.setPen(QColor(0x50, 0x50, 0x50));
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("没有房间: 请导入房间表或添加房间"));
        return;
    }
    const int pitch = m_cell.height() + kGap;
    const int first = std::max(0, (event->rect().top() - kMargin) / pitch);
    const int last = std::min(static_cast<int>(m_rows.size()) - 1,
                              (event->rect().bottom() - kMargin) / pitch);
    for (int row = first; row <= last; ++row) paintRow(painter, row);
}

void JobBoard::paintRow(QPainter& painter, int row) {
    const BoardRow& r = m_rows[row];
    const int top = kMargin + row * (m_cell.height() + kGap);
    const QFontMetrics fm = fontMetrics();
    painter.setPen(QColor(0x20, 0x20, 0x20));
    painter.drawText(QRect(kMargin, top, m_floorWidth - 8, m_cell.height()),
                     Qt::AlignRight | Qt::AlignVCenter, floorText(r));
    for (int i : r.rooms) {
        const bool shown = m_filter.shows(m_rooms[i]);
        const StateLook look = shown ? stateLook(m_rooms[i].state) : dimmedLook(m_rooms[i].state);
        const QRect cell = m_cells[i];
        painter.fillRect(cell, look.fill);
        painter.setPen(look.text);
        const QString number = text(records::shownRoomNumber(m_rooms[i].room.roomNumber));
        painter.drawText(cell, Qt::AlignCenter, fm.elidedText(number, Qt::ElideRight, cell.width() - 4));
    }
    if (m_selected >= 0 && m_where[m_selected].y() == row) {
        painter.setPen(QPen(QColor(0x10, 0x10, 0x10), 2));
        painter.drawRect(m_cells[m_selected].adjusted(-1, -1, 0, 0));
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(m_cells[m_selected].adjusted(1, 1, -2, -2));
    }
    painter.setPen(QColor(0x20, 0x20, 0x20));
    painter.drawText(QRect(m_totalsLeft, top, m_totalsWidth, m_cell.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("  ") + rowTotals(r));
}

void JobBoard::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const int index = hit(event->position().toPoint());
    if (index >= 0 && event->button() == Qt::LeftButton) select(index);
}

void JobBoard::mouseDoubleClickEvent(QMouseEvent* event) {
    const int index = hit(event->position().toPoint());
    if (index >= 0 && event->button() == Qt::LeftButton) emit activated(index);
}

void JobBoard::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
            return moveSelection(0, -1);
        case Qt::Key_Right:
            return moveSelection(0, 1);
        case Qt::Key_Up:
            return moveSelection(-1, 0);
        case Qt::Key_Down:
            return moveSelection(1, 0);
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m_selected >= 0) emit activated(m_selected);
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void JobBoard::moveSelection(int rows, int columns) {
    if (m_rows.empty()) return;
    if (m_selected < 0) return select(m_rows.front().rooms.front());
    const QPoint at = m_where[m_selected];
    const int row = std::clamp(at.y() + rows, 0, static_cast<int>(m_rows.size()) - 1);
    const std::vector<int>& rooms = m_rows[row].rooms;
    const int column = std::clamp(at.x() + columns, 0, static_cast<int>(rooms.size()) - 1);
    select(rooms[column]);
}

void JobBoard::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        measure();
        arrange();
    }
    QWidget::changeEvent(event);
}

}  // namespace room::gui
