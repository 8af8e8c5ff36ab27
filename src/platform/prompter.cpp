#include "platform/prompter.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace room::platform {

QString defaultCaption() {
    return QCoreApplication::applicationName();
}

void QtPrompter::information(const QString& text, const QString& caption) {
    QMessageBox::information(m_parent, caption, text);
}

void QtPrompter::warning(const QString& text, const QString& caption) {
    QMessageBox::warning(m_parent, caption, text);
}

Answer QtPrompter::question(const QString& text, const QString& caption, QuestionButtons buttons) {
    const bool okCancel = buttons == QuestionButtons::OkCancel;
    const auto standard = okCancel ? QMessageBox::Ok | QMessageBox::Cancel
                          : buttons == QuestionButtons::YesNo
                              ? QMessageBox::Yes | QMessageBox::No
                              : QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    const auto chosen = QMessageBox::question(m_parent, caption, text, standard,
                                              okCancel ? QMessageBox::Ok : QMessageBox::Yes);
    switch (chosen) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

}  // namespace room::platform
