// Console commands and the switch pages' single-device sends.

#include <gtest/gtest.h>

#include <string>

#include "engine_test_support.h"

using namespace enginetest;

namespace {

struct Console {
    explicit Console(model::RoomTypeConfig r)
        : room(std::move(r)), edit(room), engine(room, edit) {}
    model::RoomTypeConfig room;
    model::RoomTypeConfig edit;
    Engine engine;
};

const Bytes kClearAll{0xF1, 0xF4, 0x00, 0x00, 0x04, 0x09, 0xF2, 0xF3, 0xF4};
// Short frames: F0, bytes 1..14, low byte of the sum, 0F.
const Bytes kLeaveNetwork{0xF0, 0xCB, 0xCC, 0xCD, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x54, 0x0F};
const Bytes kCheckDevices{0xF0, 0xC8, 0xC9, 0xCA, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x4B, 0x0F};
const Bytes kExitSendMode{0xF0, 0xBB, 0, 2, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0xAF, 0x0F};

}  // namespace

TEST(EngineCommands, EveryCommandWithoutAPortIsRefusedAndSendsNothing) {
    const Action actions[] = {Action::SendAll,     Action::VerifyAll,    Action::ReadAll,
                              Action::ClearAll,    Action::LeaveNetwork, Action::CheckDevices,
                              Action::ExitSendMode};
    for (const bool confirmed : {false, true}) {
        for (Action action : actions) {
            Console c(panelRoom(3));
            const Effects fx = c.engine.command(action, kT0, confirmed);
            EXPECT_EQ(fx.messages, std::vector<std::string>{"请选择串口!"});
            EXPECT_TRUE(fx.writes.empty());
            EXPECT_FALSE(fx.question);
            EXPECT_TRUE(fx.statusTexts.empty());
            EXPECT_EQ(c.engine.runMode(), RunMode::Idle);
            EXPECT_FALSE(c.engine.nextDeadline());
        }
        Console c(panelRoom(3));
        for (PageOperation op : {PageOperation::Send, PageOperation::Read, PageOperation::Verify,
                                 PageOperation::Clear, PageOperation::NumberOnly}) {
            c.engine.setPageOperation(op);
            const Effects fx = c.engine.sendDevice(2, kT0, confirmed);
            EXPECT_EQ(fx.messages, std::vector<std::string>{"请选择串口!"});
            EXPECT_TRUE(fx.writes.empty());
            EXPECT_FALSE(c.engine.pageBusy());
        }
    }
}

// A send all from a room type with no device in use would give device 1 an all-zero
// configuration; it is refused with the reason. One device in use, anywhere, is enough.
TEST(EngineCommands, SendAllFromARoomTypeWithoutDevicesIsRefused) {
    struct Case {
        const char* name;
        model::RoomTypeConfig room;
        bool refused;
    };
    model::RoomTypeConfig lateDevice = model::makeStartupRoomType();
    lateDevice.deviceCount = 5;
    lateDevice.devices[5].inUse = 1;
    const Case cases[] = {
        {"start-up room type", model::makeStartupRoomType(), true},
        {"a device in use", panelRoom(1), false},
        {"only device 5 in use", lateDevice, false},
    };
    for (const Case& c : cases) {
        Console console(c.room);
        console.engine.setPortOpen(true, kT0);
        const Effects fx = console.engine.command(Action::SendAll, kT0, true);
        EXPECT_EQ(fx.writes.empty(), c.refused) << c.name;
        EXPECT_EQ(console.engine.runActive(), !c.refused) << c.name;
        if (c.refused) {
            ASSERT_EQ(fx.messages.size(), 1u) << c.name;
            EXPECT_EQ(fx.messages[0].rfind("房型中没有在用的设备", 0), 0u) << c.name;
        }
    }
    // Verify all and read all of such a room still go: they change nothing on the devices.
    Console empty(model::makeStartupRoomType());
    empty.engine.setPortOpen(true, kT0);
    EXPECT_FALSE(empty.engine.command(Action::VerifyAll, kT0, true).writes.empty());
}

TEST(EngineCommands, NetworkWideCommandsAskWhereNeededAndSendTheirFrame) {
    struct Case {
        Action action;
        const char* question;  // nullptr: sent at once
        Bytes frame;
        FrameKind kind;
        const char* status;  // nullptr: status left alone
    };
    const Case cases[] = {
        {Action::ClearAll, "是否清除全部配置数据?", kClearAll, FrameKind::Clear, "发送完成"},
        {Action::LeaveNetwork, "将所有在网设备退网，是否继续?", kLeaveNetwork, FrameKind::Command,
         "发送完成"},
        {Action::CheckDevices, nullptr, kCheckDevices, FrameKind::Command, "发送完成"},
        {Action::ExitSendMode, nullptr, kExitSendMode, FrameKind::Command, nullptr},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(static_cast<int>(k.action));
        Console c(panelRoom(3));
        c.engine.setPortOpen(true, kT0);
        if (k.question) {
            const Effects asked = c.engine.command(k.action, kT0);
            ASSERT_TRUE(asked.question);
            EXPECT_EQ(asked.question->caption, "询问...");
            EXPECT_EQ(asked.question->text, k.question);
            EXPECT_TRUE(asked.writes.empty());
            EXPECT_TRUE(asked.statusTexts.empty());
        }
        const Effects fx = c.engine.command(k.action, kT0, true);
        ASSERT_EQ(fx.writes.size(), 1u);
        EXPECT_EQ(fx.writes[0].bytes, k.frame);
        EXPECT_EQ(fx.writes[0].kind, k.kind);
        EXPECT_EQ(fx.writes[0].device, 0);
        EXPECT_EQ(fx.statusTexts,
                  k.status ? std::vector<std::string>{k.status} : std::vector<std::string>{});
        EXPECT_EQ(c.engine.runMode(), RunMode::Idle);
        EXPECT_FALSE(c.engine.nextDeadline());
    }
}

TEST(EngineCommands, RunButtonsAndExitAreRefusedDuringARun) {
    Console c(panelRoom(3));
    c.engine.setPortOpen(true, kT0);
    c.engine.command(Action::VerifyAll, kT0);
    for (Action action :
         {Action::SendAll, Action::ReadAll, Action::ClearAll, Action::ExitSendMode}) {
        const Effects fx = c.engine.command(action, kT0, true);
        EXPECT_EQ(fx.messages, std::vector<std::string>{"正在发送所有数据!"});
        EXPECT_TRUE(fx.writes.empty());
    }
    EXPECT_EQ(c.engine.runMode(), RunMode::VerifyAll);
    // Losing the port ends the run; the exit command then wants a port.
    c.engine.setPortOpen(false, kT0);
    EXPECT_EQ(c.engine.runMode(), RunMode::Idle);
    EXPECT_EQ(c.engine.command(Action::ExitSendMode, kT0).messages,
              std::vector<std::string>{"请选择串口!"});
}

TEST(EnginePage, SingleSendRefusalsComeInOrder) {
    Console c(panelRoom(3));
    c.room.devices[2].type = 0;
    const auto refusal = [&c] {
        const Effects fx = c.engine.sendDevice(2, kT0, true);
        EXPECT_TRUE(fx.writes.empty());
        return fx.messages.empty() ? std::string() : fx.messages[0];
    };
    c.engine.setPortOpen(true, kT0);
    c.engine.command(Action::SendAll, kT0);  // a run, no operation, type 0
    EXPECT_EQ(refusal(), "正在发送所有数据!");
    c.engine.command(Action::Stop, kT0);
    c.engine.setPortOpen(false, kT0);
    EXPECT_EQ(refusal(), "请选择串口!");
    c.engine.setPortOpen(true, kT0);
    EXPECT_EQ(refusal(), "请选择发送类型!");
    for (PageOperation op : {PageOperation::Send, PageOperation::Verify, PageOperation::Clear,
                             PageOperation::NumberOnly}) {
        c.engine.setPageOperation(op);
        EXPECT_EQ(refusal(), "设备类型未确定，请修改!");
    }
    // Reading a device of unknown type is allowed: F1 F4 00 02 02 09 F2 F3 F4.
    c.engine.setPageOperation(PageOperation::Read);
    const Effects fx = c.engine.sendDevice(2, kT0);
    EXPECT_TRUE(fx.messages.empty());
    ASSERT_EQ(fx.writes.size(), 1u);
    EXPECT_EQ(fx.writes[0].bytes, (Bytes{0xF1, 0xF4, 0, 2, 2, 9, 0xF2, 0xF3, 0xF4}));
    EXPECT_EQ(fx.writes[0].kind, FrameKind::Read);
    EXPECT_EQ(c.engine.sendDevice(0, kT0).messages,
              std::vector<std::string>{"设备编号超出范围(1-32)!"});
}

TEST(EnginePage, OperationChoicesSetTheExecutionChoice) {
    const std::pair<PageOperation, Execution> cases[] = {
        {PageOperation::Send, Execution::AnyKey},
        {PageOperation::Read, Execution::OnReceipt},
        {PageOperation::Verify, Execution::OnReceipt},
        {PageOperation::Clear, Execution::OnReceipt},
        {PageOperation::NumberOnly, Execution::AnyKey},
    };
    Console c(panelRoom(3));
    EXPECT_EQ(c.engine.pageOperation(), PageOperation::None);
    EXPECT_EQ(c.engine.execution(), Execution::OnReceipt);
    for (const auto& [op, execution] : cases) {
        c.engine.setExecution(execution == Execution::AnyKey ? Execution::OnReceipt
                                                             : Execution::AnyKey);
        c.engine.setPageOperation(op);
        EXPECT_EQ(c.engine.execution(), execution) << static_cast<int>(op);
    }
}

TEST(EnginePage, SendOnReceiptAsksFirstAndAnyKeySetsTheFlag) {
    Console c(panelRoom(3));
    c.engine.setPortOpen(true, kT0);
    c.engine.setPageOperation(PageOperation::Send);
    c.engine.setExecution(Execution::OnReceipt);
    const Effects asked = c.engine.sendDevice(3, kT0);
    ASSERT_TRUE(asked.question);
    EXPECT_EQ(asked.question->caption, "询问...");
    EXPECT_EQ(asked.question->text, "收到即执行，将覆盖所有配置数据?");
    EXPECT_TRUE(asked.writes.empty());
    EXPECT_FALSE(c.engine.pageBusy());
    const Effects sent = c.engine.sendDevice(3, kT0, true);
    ASSERT_EQ(sent.writes.size(), 1u);
    EXPECT_EQ(sent.writes[0].bytes.size(), 68u);
    EXPECT_EQ(sent.writes[0].bytes[4], 0x01);
    EXPECT_EQ(sent.writes[0].kind, FrameKind::Send);
    EXPECT_EQ(sent.statusTexts, std::vector<std::string>{""});

    Console d(panelRoom(3));
    d.engine.setPortOpen(true, kT0);
    d.engine.setPageOperation(PageOperation::Send);  // 按任意键执行
    const Effects direct = d.engine.sendDevice(3, kT0);
    EXPECT_FALSE(direct.question);
    ASSERT_EQ(direct.writes.size(), 1u);
    EXPECT_EQ(direct.writes[0].bytes[4], 0x81);
}

TEST(EnginePage, SendButtonsRestForTwoSecondsAfterTheLastFrame) {
    for (const int systemType : {1, 0}) {
        SCOPED_TRACE(systemType);
        Console c(panelRoom(3, systemType));
        Bus bus(c.engine);
        c.engine.setPortOpen(true, kT0);
        c.engine.setPageOperation(PageOperation::Send);
        bus.take(c.engine.sendDevice(1, kT0));
        EXPECT_EQ(bus.log[0].pageSendsEnabled, false);
        EXPECT_TRUE(c.engine.pageBusy());
        EXPECT_FALSE(c.engine.sendButtonEnabled(1));
        const long last = systemType == 1 ? 0 : 250;  // six blocks 50 ms apart
        EXPECT_EQ(msSince(*c.engine.pageBusyUntil()), last + 2000);
        bus.runUntil(kT0 + milliseconds(last + 1999));
        EXPECT_EQ(bus.written.size(), systemType == 1 ? 1u : 6u);
        if (systemType == 0) {
            EXPECT_EQ(bus.written[1].frame.bytes[3], 0x81);
            EXPECT_EQ(bus.written[5].frame.bytes[4], 14);
        }
        // Pressed again meanwhile: nothing, silently.
        EXPECT_TRUE(c.engine.sendDevice(2, bus.now).empty());
        bus.runUntil(kT0 + milliseconds(last + 2000));
        EXPECT_EQ(bus.log.back().pageSendsEnabled, true);
        EXPECT_FALSE(c.engine.pageBusy());
        EXPECT_TRUE(c.engine.sendButtonEnabled(1));
        EXPECT_FALSE(c.engine.sendDevice(2, bus.now).writes.empty());
    }
}

TEST(EnginePage, SingleVerifyShowsDifferencesAndVerdictInMessageBoxes) {
    Console c(panelRoom(3));
    c.engine.setPortOpen(true, kT0);
    c.engine.setPageOperation(PageOperation::Verify);
    const Effects sent = c.engine.sendDevice(3, kT0);
    ASSERT_EQ(sent.writes.size(), 1u);
    EXPECT_EQ(sent.writes[0].bytes, (Bytes{0xF1, 0xF4, 1, 3, 3, 9, 0xF5, 0xF3, 0xF4}));
    EXPECT_EQ(c.engine.verifyState().verifyDevice, 3);

    Bytes answer = panelAnswer(c.room, 3, 3);
    answer[18] = 0x30;  // output 2
    resummed(answer);
    const Effects fx = c.engine.onBytes(answer, kT0 + milliseconds(40));
    const std::vector<std::string> expected{"继电器第02个数据异常 15 30 ", "第03个面板异常"};
    EXPECT_EQ(fx.messages, expected);
    EXPECT_EQ(fx.statusTexts, expected);
    EXPECT_EQ(c.engine.status(), "第03个面板异常");
    EXPECT_EQ(c.engine.differences(), std::vector<std::string>{"继电器第02个数据异常 15 30 "});
    // The run's table belongs to verify all; the page's verdict is reported as its own.
    EXPECT_EQ(c.engine.result(3), 0);
    ASSERT_EQ(fx.results.size(), 1u);
    EXPECT_EQ(fx.results[0].device, 3);
    EXPECT_EQ(fx.results[0].result, 2);
    EXPECT_TRUE(fx.results[0].single);

    // The next send starts a fresh count: a matching answer is OK.
    const TimePoint later = kT0 + milliseconds(2000);
    c.engine.onTimeout(later);
    ASSERT_FALSE(c.engine.sendDevice(3, later).writes.empty());
    const Effects again = c.engine.onBytes(panelAnswer(c.room, 3, 3), later + milliseconds(40));
    EXPECT_EQ(again.messages, std::vector<std::string>{"第03个面板OK  "});
    EXPECT_TRUE(c.engine.differences().empty());
}

TEST(EnginePage, ReadOperationKeepsReadingTheDevicesLaterAnswersOnly) {
    Console c(panelRoom(2));
    model::RoomTypeConfig held = panelRoom(5);
    held.devices[1].outputs = {31, 32, 33, 34, 35, 36};
    c.engine.setPortOpen(true, kT0);
    c.engine.setPageOperation(PageOperation::Read);
    c.engine.sendDevice(1, kT0);
    EXPECT_EQ(c.engine.verifyState().verifyDevice, 0);
    // Device 5 was never asked: its answer is logged as foreign and stored nowhere.
    const Effects foreign = c.engine.onBytes(panelAnswer(held, 5, 2), kT0 + milliseconds(300));
    EXPECT_FALSE(foreign.readBack);
    ASSERT_EQ(foreign.answers.size(), 1u);
    EXPECT_EQ(foreign.answers[0].fate, AnswerFate::Foreign);
    EXPECT_EQ(foreign.answers[0].device, 5);
    EXPECT_EQ(c.room.devices[5].inUse, 0);
    EXPECT_EQ(c.room.deviceCount, 2);
    // Device 1 answers long after the send: still stored.
    const Effects fx = c.engine.onBytes(panelAnswer(held, 1, 2), kT0 + milliseconds(9000));
    EXPECT_TRUE(fx.readBack);
    EXPECT_TRUE(c.engine.readBackDone());
    EXPECT_EQ(c.room.devices[1].outputs, held.devices[1].outputs);
    EXPECT_EQ(c.engine.status(), "第01个面板读取完成  ");
    // Choosing another operation stops that.
    c.engine.setPageOperation(PageOperation::Clear);
    c.room.devices[4].inUse = 0;
    held.devices[1].outputs = {41, 42, 43, 44, 45, 46};
    EXPECT_FALSE(c.engine.onBytes(panelAnswer(held, 1, 2), kT0 + milliseconds(9100)).readBack);
    EXPECT_EQ(c.room.devices[1].outputs[0], 31);
}

TEST(EnginePage, OpeningUnselectsUnusedDevicesAndButtonsFollowTheOperation) {
    Console c(panelRoom(3));
    c.engine.unselectUnused();
    EXPECT_EQ(c.room.selected[3], 1);
    EXPECT_EQ(c.room.selected[4], 0);
    EXPECT_EQ(c.room.selected[32], 0);
    EXPECT_TRUE(c.engine.sendButtonEnabled(3));
    EXPECT_FALSE(c.engine.sendButtonEnabled(4));
    EXPECT_FALSE(c.engine.checkBoxEnabled(4));
    c.engine.setPageOperation(PageOperation::Read);
    EXPECT_TRUE(c.engine.sendButtonEnabled(4));
    EXPECT_TRUE(c.engine.checkBoxEnabled(4));
    c.engine.setPageOperation(PageOperation::Verify);
    c.engine.setSelected(2, false);
    EXPECT_FALSE(c.engine.sendButtonEnabled(2));
    EXPECT_TRUE(c.engine.checkBoxEnabled(2));
}
