#pragma once
// The colours of the seven room states on the board and in its legend. They follow the
// Okabe-Ito palette, which people with the common colour-vision deficiencies still tell apart;
// each state keeps its own text colour so the room number stays readable on it.

#include <QColor>
#include <QString>

#include "core/records/room_state.h"

class QLabel;
class QWidget;

namespace room::gui {

struct StateLook {
    QColor fill;
    QColor text;
};

StateLook stateLook(records::RoomState state);
// A cell the filter does not show: its state's colour faded into the board's background.
StateLook dimmedLook(records::RoomState state);
QColor boardBackground();

QString stateText(records::RoomState state);

// A chip of the legend: the state's colour behind "校验通过 287".
QLabel* legendChip(records::RoomState state, QWidget* parent);
void setLegendCount(QLabel* chip, records::RoomState state, int rooms);

}  // namespace room::gui
