#pragma once
// Answers the modal dialogs a command opens, one step each, in the order they open.

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>

namespace room::testing {

class ModalScript : public QObject {
public:
    using Step = std::function<void(QWidget* dialog)>;
    explicit ModalScript(std::deque<Step> steps) : m_steps(std::move(steps)) {
        connect(&m_poll, &QTimer::timeout, this, &ModalScript::poll);
        m_poll.start(10);
    }
    bool done() const { return m_steps.empty(); }

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == m_last || m_steps.empty()) return;
        m_last = modal;
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        step(modal);
    }
    std::deque<Step> m_steps;
    QTimer m_poll;
    QPointer<QWidget> m_last;  // a dialog at the same address later is another one
};

}  // namespace room::testing
