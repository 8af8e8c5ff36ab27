#pragma once
// Message boxes with the program's exact texts and captions. Windows take a Prompter so that
// tests can answer the questions; QtPrompter shows real QMessageBoxes.

#include <QString>

class QWidget;

namespace room::platform {

enum class Answer { Ok, Cancel, Yes, No };
enum class QuestionButtons { OkCancel, YesNoCancel, YesNo };

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual void information(const QString& text, const QString& caption) = 0;
    virtual void warning(const QString& text, const QString& caption) = 0;
    // Closing the box without a button counts as Cancel.
    virtual Answer question(const QString& text, const QString& caption,
                            QuestionButtons buttons) = 0;
};

class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    void information(const QString& text, const QString& caption) override;
    void warning(const QString& text, const QString& caption) override;
    Answer question(const QString& text, const QString& caption, QuestionButtons buttons) override;

private:
    QWidget* m_parent;
};

// The caption of messages that name no caption of their own: the program's name.
QString defaultCaption();
// The question caption of every window.
inline const QString kQuestionCaption = QStringLiteral("询问...");

}  // namespace room::platform
