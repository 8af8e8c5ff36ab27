#pragma once

#include <functional>
// A Prompter for window tests: records every message and answers questions from a queue
// (Cancel when the queue is empty, as closing the box would).

#include <QList>
#include <QString>
#include <QStringList>

#include "platform/prompter.h"

namespace room::testing {

struct PromptRecord {
    enum class Kind { Information, Warning, Question };
    Kind kind = Kind::Information;
    QString text;
    QString caption;
    platform::QuestionButtons buttons = platform::QuestionButtons::OkCancel;
};

class RecordingPrompter : public platform::Prompter {
public:
    void information(const QString& text, const QString& caption) override;
    void warning(const QString& text, const QString& caption) override;
    platform::Answer question(const QString& text, const QString& caption,
                              platform::QuestionButtons buttons) override;

    void answerNext(platform::Answer answer) { m_answers.append(answer); }
    // Runs while a warning "is shown", as a modal box's own event loop would.
    std::function<void()> whileWarning;
    const QList<PromptRecord>& records() const { return m_records; }
    QStringList texts() const;
    void clear() { m_records.clear(); }

private:
    QList<PromptRecord> m_records;
    QList<platform::Answer> m_answers;
};

}  // namespace room::testing
