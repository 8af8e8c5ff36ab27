#include "platform/speech.h"

#include <QLocale>
#include <QTextToSpeech>

namespace room::platform {

QtSpeech::QtSpeech() = default;
QtSpeech::~QtSpeech() = default;

SpeechStatus QtSpeech::prepare() {
    if (QTextToSpeech::availableEngines().isEmpty()) return SpeechStatus::NoEngine;
    m_engine = std::make_unique<QTextToSpeech>();
    if (m_engine->state() == QTextToSpeech::Error) return SpeechStatus::NoEngine;
    // An engine without the language keeps its previous locale: that is how a missing voice shows.
    m_engine->setLocale(QLocale(QLocale::Chinese, QLocale::China));
    if (m_engine->locale().language() != QLocale::Chinese) return SpeechStatus::NoChineseVoice;
    return SpeechStatus::Spoken;
}

SpeechStatus QtSpeech::speak(const QString& text) {
    if (!m_prepared) {
        m_status = prepare();
        m_prepared = true;
    }
    if (m_status == SpeechStatus::Spoken) m_engine->say(text);
    return m_status;
}

}  // namespace room::platform
