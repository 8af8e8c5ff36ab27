#pragma once
// "与读取前对比": the console keeps the room type as it was before the last read all or page read
// wrote into it, and its button shows what the read changed in the compare window.

#include <QObject>
#include <optional>

#include "core/commissioning/effects.h"
#include "core/model/room_type.h"

class QPushButton;
class QWidget;

namespace room::gui {

class ConsoleContext;

inline constexpr const char* kCompareBeforeReadText = "与读取前对比";

class BeforeRead : public QObject {
    Q_OBJECT
public:
    // Watches the context's effects; the button stays disabled until a read has written.
    BeforeRead(ConsoleContext& context, QPushButton* button, QWidget* window);

    const std::optional<model::RoomTypeConfig>& before() const { return m_before; }
    void showComparison();

private:
    void onEffects(const commissioning::Effects& effects);

    ConsoleContext& m_context;
    QPushButton* m_button;
    QWidget* m_window;
    model::RoomTypeConfig m_lastIdle;  // the room type when no read was writing
    std::optional<model::RoomTypeConfig> m_before;
    bool m_reading = false;
};

}  // namespace room::gui
