#pragma once
// Small pieces the room-type editors share: UTF-8 text both ways and the editors' own buttons.

#include <QString>
#include <string>
#include <string_view>

#include "gui/toolkit/color_button.h"

class QLabel;
class QLineEdit;

namespace room::gui {

QString fromUtf8(std::string_view text);
std::string toUtf8(const QString& text);

// A label naming `buddy`: its text is also the buddy's accessible name.
QLabel* labelFor(const QString& text, QWidget* buddy, QWidget* parent);

// A field whose text becomes one field of the room-type file: it refuses commas and line breaks,
// and says why in its tooltip, shown again when a key is refused. `what` leads the tooltip.
void refuseFieldBreakers(QLineEdit* field, const QString& what = {});

// "确定", "取消" and the editors' other buttons, in RGB(144,215,236).
ColorButton* dialogButton(const QString& text, QWidget* parent);

}  // namespace room::gui
