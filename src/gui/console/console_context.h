#pragma once
// What the device console and its pages share: the room type, the run engine, the chosen port
// and the message boxes. Pages call the engine through run() and send their command frames
// through sendCommand(); everything that goes over the bus passes here, so the bus log sees it.

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <functional>
#include <memory>

#include "core/commissioning/engine.h"
#include "gui/main/room_document.h"
#include "gui/ports/link_factory.h"
#include "platform/prompter.h"
#include "platform/run_driver.h"

namespace room::gui {

class ConsoleContext : public QObject {
    Q_OBJECT

public:
    ConsoleContext(RoomDocument& document, platform::Prompter& prompter,
                   LinkFactory factory = makeLink, QObject* parent = nullptr);
    ~ConsoleContext() override;

    RoomDocument& document() { return m_document; }
    model::RoomTypeConfig& room() { return m_document.room; }
    commissioning::Engine& engine() { return m_engine; }
    platform::Prompter& prompter() { return m_prompter; }

    // Opens the port of a chosen row, closing any other; a port that cannot be opened is
    // reported and leaves no port open.
    bool choosePort(const PortChoice& choice);
    bool portOpen() const;

    // Calls the engine. When it answers with a question, asks it (caption "询问...", OK/Cancel)
    // and on OK calls again with confirmed = true. Frames are written, message texts shown.
    using Step =
        std::function<commissioning::Effects(commissioning::TimePoint now, bool confirmed)>;
    void run(const Step& step);

    // A command frame of a test page. Without an open port it shows "请选择串口!" and sends
    // nothing; returns whether the frame went out. `what` names the command and the device it
    // is for ("开 010.廊灯"), so the console can show what went out without the bus log.
    bool sendCommand(const protocol::Bytes& frame, const QString& what = {});

    // Devices unticked since "读取配置" was chosen. Choosing it enables every send button; a device
    // unticked afterwards is left out again, as in the other operations. Both pages share it.
    QSet<int>& untickedInRead() { return m_untickedInRead; }

    // Milliseconds since the console opened, for the bus log.
    qint64 elapsedMs() const { return m_clock.elapsed(); }

signals:
    void effectsApplied(const room::commissioning::Effects& effects);
    void frameWritten(const room::commissioning::OutFrame& frame, qint64 ms);
    void bytesArrived(const QByteArray& bytes, qint64 ms);
    void portLost(const QString& reason);
    // A test page's command went out.
    void commandSent(const QString& what);
    // A page changed the device selection; the switch pages repaint.
    void selectionChanged();
    // A switch page changed the operation or execution choice the engine holds; both pages show it.
    void pageOptionsChanged();

private:
    void onEffects(const commissioning::Effects& effects);

    RoomDocument& m_document;
    platform::Prompter& m_prompter;
    LinkFactory m_factory;
    commissioning::Engine m_engine;
    std::unique_ptr<platform::SerialLink> m_link;
    std::unique_ptr<platform::RunDriver> m_driver;
    QElapsedTimer m_clock;
    QSet<int> m_untickedInRead;
};

inline const QString kChoosePortText = QStringLiteral("请选择串口!");

}  // namespace room::gui
