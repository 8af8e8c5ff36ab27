#pragma once
// Small pieces the three test pages ("测试红外发送", "设备控制", "其它配置") share: buttons and
// lists built the same way, the item number of a list, and sending a frame that may be declined.

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <optional>
#include <string_view>

#include "core/protocol/frames.h"

namespace room::gui {

class ColorButton;
class ConsoleContext;

namespace testpage {

inline QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A push button wide enough for its Chinese caption.
QPushButton* makeButton(const QString& caption, QWidget* parent);

// A relay or backlight flag of the switch test, sized like the push buttons.
ColorButton* makeFlagButton(const QString& caption, QWidget* parent);

// A drop-down list holding `items`, standing on its first item (none when empty); an unfocused
// list ignores the mouse wheel.
QComboBox* makeList(const QStringList& items, QWidget* parent);

// The integer at the start of the chosen item's text ("012.灯" -> 12, "3#" -> 3); nullopt
// when no item is chosen.
std::optional<int> chosenNumber(const QComboBox& list);

// A group box whose caption is never clipped by its contents.
QGroupBox* makeGroup(const QString& caption, QWidget* parent);
// The grid inside a group box, with the spacing every test page uses.
QGridLayout* makeGroupGrid(QGroupBox* group);
// The page's row of columns, with the page margins.
QHBoxLayout* makePageColumns(QWidget* page);

// True when a port is open; otherwise shows "请选择串口!".
bool requirePort(ConsoleContext& context);

// Shows `refusal` when `frame` is empty, otherwise sends it. Returns whether it went out.
bool sendOrRefuse(ConsoleContext& context, const std::optional<protocol::Bytes>& frame,
                  const QString& refusal, const QString& what);

}  // namespace testpage
}  // namespace room::gui
