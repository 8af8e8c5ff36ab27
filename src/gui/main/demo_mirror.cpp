#include "gui/main/demo_mirror.h"

#include "core/protocol/frames.h"
#include "platform/prompter.h"
#include "platform/serial_link.h"
#include "platform/speech.h"

namespace room::gui {

DemoMirror::DemoMirror(RoomDocument& document, platform::Prompter& prompter,
                       platform::Speech* speech)
    : m_document(document), m_prompter(prompter), m_speech(speech) {}

DemoMirror::~DemoMirror() = default;

bool DemoMirror::choosePort(const PortChoice& choice) {
    if (m_link) m_link->close();
    m_link.reset();
    m_document.sendGate = false;
    m_scanner.clear();
    m_noEngineShown = false;
    m_noVoiceShown = false;

    m_link = m_factory(choice, m_document.room);
    if (!m_link) return false;
    connect(m_link.get(), &platform::SerialLink::bytesReceived, this, &DemoMirror::onBytes);
    connect(m_link.get(), &platform::SerialLink::lost, this, &DemoMirror::onLost);
    if (!m_link->open(linkPortName(choice))) {
        m_prompter.warning(QStringLiteral("串口打开失败!\n") + choice.displayText +
                               QStringLiteral("\n") + m_link->errorString(),
                           platform::defaultCaption());
        m_link.reset();
        return false;
    }
    m_document.sendGate = true;
    return true;
}

void DemoMirror::sendPress(const demo::KeyPress& press) {
    if (!m_document.sendGate || !m_link || !m_link->isOpen()) return;
    const protocol::Bytes frame = protocol::mirrorFrame(press.lamp, press.result);
    m_link->write(QByteArray(reinterpret_cast<const char*>(frame.data()),
                             static_cast<qsizetype>(frame.size())));
}

void DemoMirror::onBytes(const QByteArray& bytes) {
    const int accepted = m_scanner.push(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    for (int i = 0; i < accepted; ++i) {
        emit answerAccepted();
        const platform::SpeechStatus status =
            m_speech ? m_speech->speak(QStringLiteral("滴")) : platform::SpeechStatus::NoEngine;
        if (status == platform::SpeechStatus::NoEngine && !m_noEngineShown) {
            m_noEngineShown = true;
            m_prompter.warning(kNoSpeechEngineText, platform::defaultCaption());
        } else if (status == platform::SpeechStatus::NoChineseVoice && !m_noVoiceShown) {
            m_noVoiceShown = true;
            m_prompter.warning(kNoChineseVoiceText, platform::defaultCaption());
        }
    }
}

void DemoMirror::onLost(const QString& reason) {
    m_document.sendGate = false;
    m_prompter.warning(QStringLiteral("串口已断开!\n") + reason, platform::defaultCaption());
}

}  // namespace room::gui
