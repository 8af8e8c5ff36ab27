#include "gui/job/state_look.h"

#include <QLabel>

namespace room::gui {

namespace {

const QColor kBlack(0x1A, 0x1A, 0x1A);
const QColor kWhite(0xFF, 0xFF, 0xFF);

}  // namespace

StateLook stateLook(records::RoomState state) {
    using records::RoomState;
    switch (state) {
        case RoomState::Untouched:
            return {QColor(0xD9, 0xD9, 0xD9), kBlack};
        case RoomState::Sent:
            return {QColor(0x56, 0xB4, 0xE9), kBlack};
        case RoomState::Verified:
            return {QColor(0x00, 0x9E, 0x73), kWhite};
        case RoomState::Recheck:
            return {QColor(0xF0, 0xE4, 0x42), kBlack};
        case RoomState::NoAnswer:
            return {QColor(0xE6, 0x9F, 0x00), kBlack};
        case RoomState::Faulty:
            return {QColor(0xD5, 0x5E, 0x00), kWhite};
        case RoomState::Interrupted:
            return {QColor(0xCC, 0x79, 0xA7), kBlack};
    }
    return {kWhite, kBlack};
}

QColor boardBackground() {
    return QColor(0xF7, 0xF7, 0xF5);
}

StateLook dimmedLook(records::RoomState state) {
    const QColor fill = stateLook(state).fill;
    const QColor back = boardBackground();
    auto fade = [](int from, int to) { return (from + 4 * to) / 5; };
    return {QColor(fade(fill.red(), back.red()), fade(fill.green(), back.green()),
                   fade(fill.blue(), back.blue())),
            QColor(0xA8, 0xA8, 0xA8)};
}

QString stateText(records::RoomState state) {
    const std::string_view text = records::roomStateText(state);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* legendChip(records::RoomState state, QWidget* parent) {
    auto* chip = new QLabel(parent);
    const StateLook look = stateLook(state);
    chip->setStyleSheet(QStringLiteral("QLabel { background: %1; color: %2; padding: 2px 8px;"
                                       " border-radius: 3px; }")
                            .arg(look.fill.name(), look.text.name()));
    setLegendCount(chip, state, 0);
    return chip;
}

void setLegendCount(QLabel* chip, records::RoomState state, int rooms) {
    chip->setText(QStringLiteral("%1 %2").arg(stateText(state)).arg(rooms));
}

}  // namespace room::gui
