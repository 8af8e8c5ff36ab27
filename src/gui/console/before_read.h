#pragma once
// What a read did to the room type. The console keeps the room type as it was before the last
// read all or page read wrote into it:
// - "读取改变了房型: 设备02 设备05" names the devices whose read changed it;
// - "与读取前对比" shows what the read changed in the compare window;
// - "恢复读取前" puts the room type back as it was before the read;
// - a room type a read wrote and nobody saved since is not sent to a room without asking.

#include <QObject>
#include <optional>

#include "core/commissioning/effects.h"
#include "core/model/room_type.h"

class QLabel;
class QPushButton;
class QWidget;

namespace room::gui {

class ConsoleContext;
struct RoomDocument;

inline constexpr const char* kCompareBeforeReadText = "与读取前对比";
inline constexpr const char* kRestoreBeforeReadText = "恢复读取前";
inline constexpr const char* kSendReadRoomText = "当前房型来自读取所有, 尚未保存. 仍然下发?";

class BeforeRead : public QObject {
    Q_OBJECT
public:
    // Watches the context's effects; the buttons stay disabled until a read has written.
    BeforeRead(ConsoleContext& context, QWidget* window);

    // The line and the two buttons, for the window to place.
    QWidget* controls() const { return m_controls; }
    const std::optional<model::RoomTypeConfig>& before() const { return m_before; }
    void showComparison();
    void restore();

    // False when the room type came from a read, is unsaved and the installer would not send it.
    static bool sendAllowed(ConsoleContext& context);

private:
    void onEffects(const commissioning::Effects& effects);
    void readWrote();
    void showChanged();

    ConsoleContext& m_context;
    QWidget* m_window;
    QWidget* m_controls;
    QLabel* m_changed;
    QPushButton* m_compare;
    QPushButton* m_restore;
    model::RoomTypeConfig m_lastIdle;  // the room type when no read was writing
    std::optional<model::RoomTypeConfig> m_before;
    bool m_fromReadBefore = false;  // the document's mark before the read
    bool m_reading = false;
};

}  // namespace room::gui
