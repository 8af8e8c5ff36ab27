#include "gui/job/job_board.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollArea>
#include <QToolTip>
#include <algorithm>

#include "core/records/room_number.h"
#include "gui/job/state_look.h"

namespace room::gui {

namespace {

constexpr int kMargin = 4;
constexpr int kGap = 2;
constexpr int kRowGap = 3;
constexpr int kComfortableCell = 48;
constexpr int kWidestCell = 96;
const QString kTotalsHeader = QStringLiteral("通过/间");

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

QString floorText(const BoardRow& row) {
    return row.floor.isEmpty() ? QStringLiteral("—") : row.floor + QStringLiteral("层");
}

QString rowTotals(const BoardRow& row) {
    return QStringLiteral("%1/%2")
        .arg(row.shown[static_cast<std::size_t>(records::RoomState::Verified)])
        .arg(roomsIn(row.shown));
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
    lines << (r.latest ? QStringLiteral("最近: %1 %2")
                             .arg(text(r.latest->when), text(records::factsLine(*r.latest)))
                       : QStringLiteral("最近: 没有下发或校验"));
    if (r.waiting > 0) lines << QStringLiteral("本机有%1条记录尚未上传").arg(r.waiting);
    return lines.join(QLatin1Char('\n'));
}

void JobBoard::select(int index) {
    if (index < -1 || index >= static_cast<int>(m_rooms.size()) || index == m_selected) return;
    m_selected = index;
    setAccessibleDescription(toolTipOf(index));
    update();
    if (index >= 0) {
        // The board's scroll area brings the room into view when the keys move to it.
        auto* area =
            parentWidget() ? qobject_cast<QScrollArea*>(parentWidget()->parentWidget()) : nullptr;
        const QRect cell = m_cells[index];
        if (area)
            area->ensureVisible(cell.center().x(), cell.center().y(), cell.width(),
                                cell.height() + kRowGap);
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
    m_cellFont = font();
    m_cellFont.setPointSizeF(std::max(7.0, font().pointSizeF() - 1.5));
    const QFontMetrics small(m_cellFont);
    int widest = small.horizontalAdvance(QStringLiteral("8888"));
    for (const platform::RoomStatus& r : m_rooms) {
        widest = std::max(widest, small.horizontalAdvance(text(r.room.roomNumber)));
    }
    m_narrowest = std::clamp(widest + 3, 22, kWidestCell);
    m_cellHeight = small.height() + 6;
    const QFontMetrics fm = fontMetrics();
    m_floorWidth = fm.horizontalAdvance(QStringLiteral("88层")) + 10;
    m_totalsWidth = std::max(fm.horizontalAdvance(kTotalsHeader),
                             fm.horizontalAdvance(QStringLiteral("88/88"))) +
                    10;
    m_top = kMargin + fm.height() + 4;
}

void JobBoard::arrange() {
    m_rows = boardRows(m_rooms, m_filter);
    const QFontMetrics fm = fontMetrics();
    m_columns = 0;
    for (const BoardRow& row : m_rows) {
        m_columns = std::max(m_columns, static_cast<int>(row.rooms.size()));
        m_floorWidth = std::max(m_floorWidth, fm.horizontalAdvance(floorText(row)) + 10);
    }
    const int fixed = 2 * kMargin + m_floorWidth + m_totalsWidth;
    const QSize least(fixed + m_columns * (m_narrowest + kGap),
                      m_top + kMargin + int(m_rows.size()) * (m_cellHeight + kRowGap));
    setMinimumSize(m_rows.empty() ? QSize(360, 4 * m_cellHeight) : least);
    place();
}

// Cells as wide as the width allows, from just wide enough for the widest number up to a
// comfortable width: a floor of forty rooms fits a laptop's screen without scrolling sideways.
void JobBoard::place() {
    m_cells.assign(m_rooms.size(), QRect());
    m_where.assign(m_rooms.size(), QPoint());
    const int fixed = 2 * kMargin + m_floorWidth + m_totalsWidth;
    const int spare = m_columns > 0 ? (width() - fixed) / m_columns - kGap : 0;
    const int cellWidth = std::clamp(spare, m_narrowest, std::max(m_narrowest, kComfortableCell));
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        const std::vector<int>& rooms = m_rows[r].rooms;
        for (std::size_t c = 0; c < rooms.size(); ++c) {
            m_cells[rooms[c]] =
                QRect(kMargin + m_floorWidth + int(c) * (cellWidth + kGap),
                      m_top + int(r) * (m_cellHeight + kRowGap), cellWidth, m_cellHeight);
            m_where[rooms[c]] = QPoint(int(c), int(r));
        }
    }
    m_totalsLeft = kMargin + m_floorWidth + m_columns * (cellWidth + kGap);
    update();
}

void JobBoard::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    place();
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
    const int pitch = m_cellHeight + kRowGap;
    const int row = (at.y() - m_top) / pitch;
    if (at.y() < m_top || row >= static_cast<int>(m_rows.size())) return -1;
    return at.y() - m_top - row * pitch < m_cellHeight ? row : -1;
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
    } else if (help->pos().y() < m_top) {
        QToolTip::showText(help->globalPos(), QStringLiteral("每层校验通过的房间/显示的房间"),
                           this);
    } else {
        QToolTip::hideText();
        event->ignore();
    }
    return true;
}

void JobBoard::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), boardBackground());
    painter.setPen(QColor(0x20, 0x20, 0x20));
    if (m_rows.empty()) {
        painter.drawText(rect(), Qt::AlignCenter,
                         QStringLiteral("没有房间: 请导入房间表或添加房间"));
        return;
    }
    const int headerHeight = m_top - kMargin;
    painter.drawText(QRect(kMargin, kMargin, m_floorWidth - 6, headerHeight),
                     Qt::AlignRight | Qt::AlignTop, QStringLiteral("楼层"));
    painter.drawText(QRect(m_totalsLeft + 6, kMargin, m_totalsWidth, headerHeight),
                     Qt::AlignLeft | Qt::AlignTop, kTotalsHeader);
    const int pitch = m_cellHeight + kRowGap;
    const int first = std::max(0, (event->rect().top() - m_top) / pitch);
    const int last =
        std::min(static_cast<int>(m_rows.size()) - 1, (event->rect().bottom() - m_top) / pitch);
    painter.setFont(m_cellFont);
    for (int row = first; row <= last; ++row) paintCells(painter, row);
    painter.setFont(font());
    for (int row = first; row <= last; ++row) paintEnds(painter, row);
}

void JobBoard::paintCells(QPainter& painter, int row) {
    const QFontMetrics small(m_cellFont);
    for (int i : m_rows[row].rooms) {
        const bool shown = m_filter.shows(m_rooms[i]);
        const StateLook look = shown ? stateLook(m_rooms[i].state) : dimmedLook(m_rooms[i].state);
        const QRect cell = m_cells[i];
        painter.fillRect(cell, look.fill);
        painter.setPen(look.text);
        const QString number = text(records::shownRoomNumber(m_rooms[i].room.roomNumber));
        painter.drawText(cell, Qt::AlignCenter,
                         small.elidedText(number, Qt::ElideRight, cell.width() - 2));
        if (m_rooms[i].waiting > 0) {
            // Not yet uploaded: a corner cut off, as a dog-ear on a page still to be filed.
            const int side = std::max(4, cell.height() / 3);
            const QPoint corner = cell.topRight() + QPoint(1, 0);
            painter.setBrush(look.text);
            painter.setPen(Qt::NoPen);
            painter.drawPolygon(QPolygon({corner, corner - QPoint(side, 0), corner + QPoint(0, side)}));
            painter.setBrush(Qt::NoBrush);
        }
    }
    if (m_selected >= 0 && m_where[m_selected].y() == row) {
        // Around the cell, in the gaps, so the number stays whole.
        painter.setPen(
            QPen(QColor(0x10, 0x10, 0x10), 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.drawRect(m_cells[m_selected].adjusted(-1, -1, 0, 0));
    }
}

// The floor before its rooms and its shown rooms counted after them.
void JobBoard::paintEnds(QPainter& painter, int row) {
    const BoardRow& r = m_rows[row];
    const int top = m_top + row * (m_cellHeight + kRowGap);
    painter.setPen(QColor(0x20, 0x20, 0x20));
    painter.drawText(QRect(kMargin, top, m_floorWidth - 6, m_cellHeight),
                     Qt::AlignRight | Qt::AlignVCenter, floorText(r));
    painter.drawText(QRect(m_totalsLeft + 6, top, m_totalsWidth, m_cellHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, rowTotals(r));
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
