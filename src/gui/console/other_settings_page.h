#pragma once
// The console's "其它配置" tab: card-out delay, infrared code library and numbering, key-count
// change, the relay and backlight test of a switch panel, a few fixed commands and clearing all
// switch data. Every send needs an open port.

#include <QWidget>
#include <array>

#include "core/protocol/frames.h"

class QComboBox;
class QLineEdit;

namespace room::gui {

class ColorButton;
class ConsoleContext;

class OtherSettingsPage : public QWidget {
    Q_OBJECT

public:
    explicit OtherSettingsPage(ConsoleContext& context, QWidget* parent = nullptr);

    // Relay k / backlight k (0-based) of the test row is set.
    bool relayOn(int k) const { return m_relays.at(static_cast<std::size_t>(k)); }
    bool backlightOn(int k) const { return m_backlights.at(static_cast<std::size_t>(k)); }

private:
    QWidget* buildInfraredSettings();
    QWidget* buildCodeLibrary();
    QWidget* buildKeyCount();
    QWidget* buildSwitchTest();
    QWidget* buildCommands();

    void sendCodeLibrary();
    void sendKeyCount();
    void clearAllSwitches();

    void toggleRelay(int k);
    void toggleBacklight(int k);
    void toggleAllRelays();
    void toggleAllBacklights();
    void showFlags();

    ConsoleContext& m_context;
    QComboBox* m_libraryType = nullptr;
    QComboBox* m_libraryDevice = nullptr;
    QLineEdit* m_code = nullptr;
    QComboBox* m_irNumber = nullptr;
    QComboBox* m_keyCount = nullptr;

    std::array<bool, 4> m_relays{};
    std::array<bool, 6> m_backlights{};
    bool m_allRelays = false;
    bool m_allBacklights = false;
    std::array<ColorButton*, 4> m_relayButtons{};
    std::array<ColorButton*, 6> m_backlightButtons{};
};

// Shown when "发送" of the key-count command is pressed with no item chosen.
inline const QString kChooseKeyCountText = QStringLiteral("请选择按键数量!");
// Shown when the code of "发送红外码库" is not a number from 0 to 65535.
inline const QString kBadCodeText = QStringLiteral("编码须为0到65535之间的整数!");

}  // namespace room::gui
