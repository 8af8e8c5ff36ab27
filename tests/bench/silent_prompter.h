#pragma once
// A Prompter for benchmarks: shows nothing and cancels every question.

#include "platform/prompter.h"

namespace room::benchmarks {

class SilentPrompter : public platform::Prompter {
public:
    void information(const QString&, const QString&) override {}
    void warning(const QString&, const QString&) override {}
    platform::Answer question(const QString&, const QString&, platform::QuestionButtons) override {
        return platform::Answer::Cancel;
    }
};

}  // namespace room::benchmarks
