#pragma once
// The body of the main window: group boxes "按键" (1123) and "继电器" (1125), each with three
// bands of six devices, 108 key buttons "key2100".. and 108 relay buttons "relay2400"..; a device
// is a column of six buttons. The panel only shows a DemoSession; clicks go out as signals.

#include <QWidget>
#include <array>

#include "core/demo/demo_session.h"

class QGroupBox;
class QLabel;

namespace room::gui {

class ColorButton;

class DemoPanel : public QWidget {
    Q_OBJECT
public:
    explicit DemoPanel(QWidget* parent = nullptr);

    // The refresh: captions, visibility and enabling of every button, then the states.
    void relabel(const demo::DemoSession& session);
    // Colours of the relays and enabling of the keys after a press.
    void showStates(const demo::DemoSession& session);
    void hideButtons();
    void setGroupsShown(bool shown);

    ColorButton* keyButton(int key) const { return m_keys[key - 1]; }
    ColorButton* relayButton(int relay) const { return m_relays[relay - 1]; }

signals:
    void keyClicked(int key);
    void relayClicked(int relay);

private:
    QGroupBox* buildSide(const QString& title, const QString& name, int firstBand, bool keys);

    QGroupBox* m_keyGroup = nullptr;
    QGroupBox* m_relayGroup = nullptr;
    QLabel* m_hint = nullptr;
    std::array<ColorButton*, demo::kDemoButtons> m_keys{};
    std::array<ColorButton*, demo::kDemoButtons> m_relays{};
};

// The text of the hint under the bands (static 1223).
extern const char* const kDemoHintText;

}  // namespace room::gui
