#pragma once
// The console's commands of more than one run, played over the context's engine:
//  - "扫描总线": a scan of 1..32 with the window of "扫描窗口(毫秒):"; nothing else.
//  - "下发并校验": a send all (asked as a send all is), then a verify all unless it was cut short.
//  - "读取所有" into a room type with no device in use: a scan first, then a read of those that
//    answered.
//  - "重试未通过的设备": the last send all, verify all or read all once more for the devices it
//    left failed; the run's verdict covers the whole room.
// Each run ends, is shown and recorded before the next starts (on a zero timer), so every run is
// one of its own. Between two runs of a command the console still counts as busy.

#include <QObject>
#include <optional>

#include "core/commissioning/effects.h"
#include "core/commissioning/run_sequence.h"

namespace room::gui {

class ConsoleContext;

class RunSequencer : public QObject {
    Q_OBJECT

public:
    explicit RunSequencer(ConsoleContext& context, QObject* parent = nullptr);

    void scanBus();
    void sendThenVerify();
    // False when the room type has a device in use: an ordinary read all is the caller's.
    bool readIntoEmptyRoom();
    void retry();

    // A command's runs are not all done yet.
    bool playing() const { return m_sequence.has_value(); }
    // Idle after a send all, verify all or read all that left devices failed.
    bool retryAllowed() const;
    // No run follows: "停止" was pressed.
    void cancel();
    // The last run no longer counts for a retry: another port, another room.
    void forgetLastRun();

signals:
    // Whether a command plays or a retry is allowed may have changed.
    void changed();

private:
    void play(const commissioning::SequencePlan& plan,
              std::optional<commissioning::Action> askedAs);
    void startRun(const commissioning::NextRun& run);
    void onEffects(const commissioning::Effects& effects);

    ConsoleContext& m_context;
    std::optional<commissioning::RunSequence> m_sequence;
    std::optional<commissioning::RunSummary> m_last;
};

}  // namespace room::gui
