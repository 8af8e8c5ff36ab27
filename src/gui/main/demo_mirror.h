#pragma once
// Mirrors the demonstration's key presses to a device bus: the port chosen in the main window's
// list, one 17-byte 0xDD frame per press while the send gate is set, and the spoken "滴" for every
// accepted answer. Each of the two speech failures is reported once per opened port, not once per
// answer, so a busy bus does not bury the installer in message boxes.

#include <QObject>
#include <memory>

#include "core/demo/answer_scanner.h"
#include "core/demo/demo_session.h"
#include "gui/main/room_document.h"
#include "gui/ports/link_factory.h"

namespace room::platform {
class Prompter;
class SerialLink;
class Speech;
}  // namespace room::platform

namespace room::gui {

class DemoMirror : public QObject {
    Q_OBJECT
public:
    DemoMirror(RoomDocument& document, platform::Prompter& prompter, platform::Speech* speech);
    ~DemoMirror() override;

    // Replaces how links are made (tests); the default opens serial ports and the simulated bus.
    void setLinkFactory(LinkFactory factory) { m_factory = std::move(factory); }

    // Closes the open port, opens the chosen one and sets the send gate.
    bool choosePort(const PortChoice& choice);
    void sendPress(const demo::KeyPress& press);

    platform::SerialLink* link() const { return m_link.get(); }

signals:
    void answerAccepted();

private:
    void onBytes(const QByteArray& bytes);
    void onLost(const QString& reason);

    RoomDocument& m_document;
    platform::Prompter& m_prompter;
    platform::Speech* m_speech;
    LinkFactory m_factory = makeLink;
    std::unique_ptr<platform::SerialLink> m_link;
    demo::AnswerScanner m_scanner;
    bool m_noEngineShown = false;
    bool m_noVoiceShown = false;
};

inline const QString kNoSpeechEngineText = QStringLiteral("Error to intiliaze COM");
inline const QString kNoChineseVoiceText = QStringLiteral("没有安装语音库!");

}  // namespace room::gui
