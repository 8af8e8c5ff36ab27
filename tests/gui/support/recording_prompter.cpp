#include "support/recording_prompter.h"

namespace room::testing {

void RecordingPrompter::information(const QString& text, const QString& caption) {
    m_records.append({PromptRecord::Kind::Information, text, caption, {}});
}

void RecordingPrompter::warning(const QString& text, const QString& caption) {
    m_records.append({PromptRecord::Kind::Warning, text, caption, {}});
    if (whileWarning) whileWarning();
}

platform::Answer RecordingPrompter::question(const QString& text, const QString& caption,
                                             platform::QuestionButtons buttons) {
    m_records.append({PromptRecord::Kind::Question, text, caption, buttons});
    return m_answers.isEmpty() ? platform::Answer::Cancel : m_answers.takeFirst();
}

QStringList RecordingPrompter::texts() const {
    QStringList list;
    for (const PromptRecord& record : m_records) list << record.text;
    return list;
}

}  // namespace room::testing
