#include "core/commissioning/effects.h"

#include <iterator>

namespace room::commissioning {

std::string_view frameKindName(FrameKind kind) {
    switch (kind) {
        case FrameKind::Send:
            return "send";
        case FrameKind::Read:
            return "read";
        case FrameKind::Verify:
            return "verify";
        case FrameKind::Clear:
            return "clear";
        case FrameKind::Command:
            return "command";
    }
    return "command";
}

std::string_view answerFateName(AnswerFate fate) {
    switch (fate) {
        case AnswerFate::Taken:
            return "answer";
        case AnswerFate::Late:
            return "late";
        case AnswerFate::Foreign:
            return "foreign";
        case AnswerFate::Ignored:
            return "ignored";
    }
    return "answer";
}

bool Effects::empty() const {
    return writes.empty() && statusTexts.empty() && !title && messages.empty() && !question &&
           results.empty() && differences.empty() && answers.empty() && !runStarted && !progress &&
           !runFinished && !runButtonsShown && !pageSendsEnabled && !readBack;
}

namespace {
template <typename T>
void append(std::vector<T>& to, std::vector<T>&& from) {
    to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
}
template <typename T>
void takeIfSet(std::optional<T>& to, std::optional<T>&& from) {
    if (from) to = std::move(from);
}
}  // namespace

void Effects::merge(Effects&& other) {
    append(writes, std::move(other.writes));
    append(statusTexts, std::move(other.statusTexts));
    append(messages, std::move(other.messages));
    append(results, std::move(other.results));
    append(differences, std::move(other.differences));
    append(differenceLamps, std::move(other.differenceLamps));
    append(answers, std::move(other.answers));
    takeIfSet(title, std::move(other.title));
    takeIfSet(question, std::move(other.question));
    takeIfSet(runStarted, std::move(other.runStarted));
    takeIfSet(progress, std::move(other.progress));
    takeIfSet(runFinished, std::move(other.runFinished));
    takeIfSet(runButtonsShown, std::move(other.runButtonsShown));
    takeIfSet(pageSendsEnabled, std::move(other.pageSendsEnabled));
    readBack = readBack || other.readBack;
}

}  // namespace room::commissioning
