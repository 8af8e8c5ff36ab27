#pragma once
// Speaks a short text in a Chinese voice (the demonstration's answer beep "滴"). The engine is
// created on first use: connecting to a speech service costs time nobody should pay at start-up.

#include <QString>
#include <memory>

class QTextToSpeech;

namespace room::platform {

enum class SpeechStatus { Spoken, NoEngine, NoChineseVoice };

class Speech {
public:
    virtual ~Speech() = default;
    virtual SpeechStatus speak(const QString& text) = 0;
};

class QtSpeech : public Speech {
public:
    QtSpeech();
    ~QtSpeech() override;
    SpeechStatus speak(const QString& text) override;

private:
    SpeechStatus prepare();

    std::unique_ptr<QTextToSpeech> m_engine;
    bool m_prepared = false;
    SpeechStatus m_status = SpeechStatus::NoEngine;
};

}  // namespace room::platform
