#include "gui/console/console_context.h"

namespace room::gui {

using commissioning::Clock;
using commissioning::Effects;
using commissioning::TimePoint;

ConsoleContext::ConsoleContext(RoomDocument& document, platform::Prompter& prompter,
                               LinkFactory factory, QObject* parent)
    : QObject(parent),
      m_document(document),
      m_prompter(prompter),
      m_factory(std::move(factory)),
      m_engine(document.room, document.edit) {
    m_clock.start();
}

ConsoleContext::~ConsoleContext() {
    m_driver.reset();
    if (m_link) m_link->close();
}

bool ConsoleContext::choosePort(const PortChoice& choice) {
    m_driver.reset();
    if (m_link) m_link->close();
    m_link.reset();
    run([this](TimePoint now, bool) { return m_engine.setPortOpen(false, now); });

    auto link = m_factory(choice, m_document.room);
    if (!link) return false;
    if (!link->open(linkPortName(choice))) {
        m_prompter.warning(QStringLiteral("串口打开失败!\n") + choice.displayText +
                               QStringLiteral("\n") + link->errorString(),
                           platform::defaultCaption());
        return false;
    }
    m_link = std::move(link);
    m_driver = std::make_unique<platform::RunDriver>(m_engine, *m_link);
    connect(m_driver.get(), &platform::RunDriver::effectsApplied, this, &ConsoleContext::onEffects);
    connect(
        m_driver.get(), &platform::RunDriver::frameWritten, this,
        [this](const commissioning::OutFrame& frame) { emit frameWritten(frame, elapsedMs()); });
    connect(m_driver.get(), &platform::RunDriver::bytesArrived, this,
            [this](const QByteArray& bytes) { emit bytesArrived(bytes, elapsedMs()); });
    // The run has ended by now (the driver told the engine first); the window lets go of the port
    // before the box waits for the installer.
    connect(m_driver.get(), &platform::RunDriver::portLost, this, [this](const QString& reason) {
        emit portLost(reason);
        m_prompter.warning(QStringLiteral("串口已断开!\n") + reason, platform::defaultCaption());
    });
    run([this](TimePoint now, bool) { return m_engine.setPortOpen(true, now); });
    return true;
}

bool ConsoleContext::portOpen() const {
    return m_link && m_link->isOpen() && m_engine.portOpen();
}

void ConsoleContext::run(const Step& step) {
    auto apply = [this](const std::function<Effects(TimePoint)>& call) {
        if (m_driver) {
            m_driver->call(call);
        } else {
            onEffects(call(Clock::now()));  // no port: refusals only, nothing to write
        }
    };
    Effects first;
    bool asked = false;
    apply([&](TimePoint now) {
        first = step(now, false);
        if (first.question) {
            asked = true;
            return Effects{};  // nothing happened yet
        }
        return first;
    });
    if (!asked) return;
    const platform::Answer answer = m_prompter.question(
        QString::fromStdString(first.question->text),
        QString::fromStdString(first.question->caption), platform::QuestionButtons::OkCancel);
    if (answer != platform::Answer::Ok) return;
    apply([&](TimePoint now) { return step(now, true); });
}

void ConsoleContext::onEffects(const Effects& effects) {
    emit effectsApplied(effects);
    for (const std::string& message : effects.messages) {
        m_prompter.information(QString::fromStdString(message), platform::defaultCaption());
    }
}

bool ConsoleContext::sendCommand(const protocol::Bytes& frame, const QString& what) {
    if (!portOpen()) {
        m_prompter.information(kChoosePortText, platform::defaultCaption());
        return false;
    }
    const QByteArray bytes(reinterpret_cast<const char*>(frame.data()),
                           static_cast<qsizetype>(frame.size()));
    if (!m_link->write(bytes)) {
        m_prompter.warning(QStringLiteral("串口写入失败!\n") + m_link->errorString(),
                           platform::defaultCaption());
        return false;
    }
    emit frameWritten(commissioning::OutFrame{0, commissioning::FrameKind::Command, frame},
                      elapsedMs());
    emit commandSent(what);
    return true;
}

}  // namespace room::gui
