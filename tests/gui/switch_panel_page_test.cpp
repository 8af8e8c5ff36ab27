// The console's two switch-panel pages over the simulated bus: selection and what it enables,
// the single-device send with its refusals and question, the 2-second pause of the send buttons,
// and the painted wiring view (empty lines, grey cells, the second page's positions, badges).

#include "gui/console/switch_panel_page.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTest>
#include <memory>

#include "core/commissioning/engine.h"
#include "core/format/shd_file.h"
#include "gui/console/console_context.h"
#include "gui/console/wiring_view.h"
#include "platform/simulated_link.h"
#include "support/recording_prompter.h"

using namespace room;
using commissioning::Action;
using commissioning::Badge;
using commissioning::OutFrame;
using commissioning::TimePoint;
using gui::SwitchPanelPage;
using Bytes = std::vector<std::uint8_t>;

namespace {

const QColor kKey(127, 255, 212);
const QColor kPosition(178, 210, 53);
const QColor kRelay(255, 110, 180);
const QColor kGrey(221, 221, 221);

// The example room (7 devices) in a console whose port is the simulated bus, with both pages
// made as the console makes them.
struct Panels {
    gui::RoomDocument document;
    testing::RecordingPrompter prompter;
    platform::SimulatedLink* link = nullptr;
    std::unique_ptr<gui::ConsoleContext> context;
    std::unique_ptr<SwitchPanelPage> first;
    std::unique_ptr<SwitchPanelPage> second;
    QList<OutFrame> written;

    explicit Panels(bool openPort = true) {
        QFile file(QStringLiteral(ROOM_EXAMPLES "/grand-hotel-deluxe.shd"));
        if (file.open(QIODevice::ReadOnly)) {
            const auto read = format::readRoomTypeFile(file.readAll().toStdString(), document.room);
            if (read.refused()) qFatal("example refused");
        }
        context = std::make_unique<gui::ConsoleContext>(
            document, prompter, [this](const gui::PortChoice&, const model::RoomTypeConfig& room) {
                auto made = std::make_unique<platform::SimulatedLink>(room);
                link = made.get();
                return made;
            });
        QObject::connect(context.get(), &gui::ConsoleContext::frameWritten,
                         [this](const OutFrame& frame, qint64) { written << frame; });
        first = std::make_unique<SwitchPanelPage>(*context, 1);
        second = std::make_unique<SwitchPanelPage>(*context, 17);
        if (openPort) openSim();
    }
    void openSim() { context->choosePort({gui::kSimulatedBusText, QString(), true}); }
    model::RoomTypeConfig& room() { return document.room; }
    template <typename T>
    T* find(SwitchPanelPage& page, const QString& name) {
        T* widget = page.findChild<T*>(name);
        if (!widget) qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    QPushButton* send(int device) {
        return find<QPushButton>(device <= 16 ? *first : *second,
                                 QStringLiteral("send%1").arg(device));
    }
    QCheckBox* select(int device) {
        return find<QCheckBox>(device <= 16 ? *first : *second,
                               QStringLiteral("select%1").arg(device));
    }
    QRadioButton* radio(SwitchPanelPage& page, const QString& text) {
        for (QRadioButton* button : page.findChildren<QRadioButton*>())
            if (button->text() == text) return button;
        qFatal("no radio button %s", qPrintable(text));
    }
    void choose(const QString& text) { radio(*first, text)->click(); }
    void runCommand(Action action) {
        commissioning::Engine& engine = context->engine();
        context->run([&engine, action](TimePoint now, bool confirmed) {
            return engine.command(action, now, confirmed);
        });
    }
    QList<OutFrame> framesTo(int device) const {
        QList<OutFrame> frames;
        for (const OutFrame& frame : written)
            if (frame.device == device) frames << frame;
        return frames;
    }
};

QImage shot(SwitchPanelPage& page) {
    return page.wiringView()->drawing();
}

int countColour(const QImage& image, const QRect& area, const QColor& colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) == colour.rgb()) ++count;
    return count;
}

// Text ink: pixels less than half as bright as the box they sit on (the texts are black).
QList<QPoint> ink(const QImage& image, const QRect& area, const QColor& box) {
    QList<QPoint> points;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) * 2 < qGray(box.rgb())) points << QPoint(x, y);
    return points;
}

// The texts of a cell: six key lines, the position line and six relay lines.
QRect cellArea(int device) {
    const commissioning::CellOrigin at = commissioning::cellOrigin(device);
    return QRect(at.x, at.y, 290, 112);
}

QRect keyLine(int device, int key) {
    const commissioning::CellOrigin at = commissioning::cellOrigin(device);
    return QRect(at.x, at.y + 16 * (key - 1), 140, 15);
}

QRect relayLine(int device, int relay) {
    return keyLine(device, relay).translated(146, 0);
}

}  // namespace

class SwitchPanelPageTest : public QObject {
    Q_OBJECT

private slots:
    void openingUnselectsUnusedDevices();
    void selectAllAlsoSelectsUnusedDevices();
    void readEnablesEveryButton();
    void choicesAreSharedByBothPages();
    void refusalsInOrder();
    void onReceiptAsksAndAnyKeySendsAt0x81();
    void sendButtonsRestFor2Seconds();
    void emptyKeyDrawsNothing();
    void unselectingGreysTheCellKeepingItsTexts();
    void secondPageUsesTheSamePositions();
    void badgesAfterVerifyAll();
    void viewScalesTheDrawingToItsSpace_data();
    void viewScalesTheDrawingToItsSpace();
};

void SwitchPanelPageTest::openingUnselectsUnusedDevices() {
    Panels panels(false);
    for (int device = 1; device <= 32; ++device) {
        const bool used = device <= 7;
        QCOMPARE(panels.room().selected[device], used ? 1 : 0);
        QCOMPARE(panels.select(device)->isChecked(), used);
        QCOMPARE(panels.select(device)->isEnabled(), used);
        QCOMPARE(panels.send(device)->isEnabled(), used);
    }
}

void SwitchPanelPageTest::selectAllAlsoSelectsUnusedDevices() {
    Panels panels;
    auto* all = panels.first->findChild<QCheckBox*>(QStringLiteral("selectAll"));
    QVERIFY(all);
    QCOMPARE(all->text(), QStringLiteral("全选"));
    all->click();
    for (int device = 1; device <= 16; ++device) {
        QCOMPARE(panels.room().selected[device], 1);
        QVERIFY(panels.select(device)->isChecked());
        QVERIFY(panels.send(device)->isEnabled());
    }
    QVERIFY(!panels.select(9)->isEnabled());  // no record: only a read may change it
    for (int device = 17; device <= 32; ++device) QCOMPARE(panels.room().selected[device], 0);

    all->click();
    for (int device = 1; device <= 16; ++device) {
        QCOMPARE(panels.room().selected[device], 0);
        QVERIFY(!panels.send(device)->isEnabled());
    }
    // One device back by its own check box.
    panels.select(2)->click();
    QCOMPARE(panels.room().selected[2], 1);
    QVERIFY(panels.send(2)->isEnabled());
    QVERIFY(!panels.send(3)->isEnabled());
}

void SwitchPanelPageTest::readEnablesEveryButton() {
    Panels panels;
    panels.select(3)->click();  // unselect a device in use
    panels.choose(QStringLiteral("读取配置(覆盖当前配置)"));
    for (int device = 1; device <= 32; ++device) {
        QVERIFY2(panels.send(device)->isEnabled(), qPrintable(QString::number(device)));
        QVERIFY(panels.select(device)->isEnabled());
    }
    // Unticked now, a device is left out of reading, as in every operation, on both pages.
    panels.select(2)->click();
    QVERIFY(!panels.send(2)->isEnabled());
    panels.select(20)->click();  // ticked
    panels.select(20)->click();  // and unticked again
    QVERIFY(!panels.send(20)->isEnabled());
    panels.select(2)->click();
    QVERIFY(panels.send(2)->isEnabled());
    QVERIFY(panels.send(3)->isEnabled());
    panels.select(2)->click();
    panels.choose(QStringLiteral("读取配置(覆盖当前配置)"));  // chosen again: every button
    QVERIFY(panels.send(2)->isEnabled());
    panels.select(2)->click();  // ticked again for what follows
    panels.choose(QStringLiteral("校验配置"));
    for (int device = 1; device <= 32; ++device) {
        QCOMPARE(panels.select(device)->isEnabled(), device <= 7);
        QCOMPARE(panels.send(device)->isEnabled(), device <= 7 && device != 3);
    }
}

void SwitchPanelPageTest::choicesAreSharedByBothPages() {
    Panels panels;
    const QString anyKey = QStringLiteral("按任意键执行");
    const QString onReceipt = QStringLiteral("收到即执行");
    QVERIFY(panels.radio(*panels.second, onReceipt)->isChecked());
    struct Step {
        QString operation;
        QString execution;
    };
    const Step steps[] = {
        {QStringLiteral("下发配置"), anyKey},
        {QStringLiteral("读取配置(覆盖当前配置)"), onReceipt},
        {QStringLiteral("仅下发编号"), anyKey},
        {QStringLiteral("校验配置"), onReceipt},
        {QStringLiteral("清除配置"), onReceipt},
    };
    for (const Step& step : steps) {
        panels.radio(*panels.first, step.operation)->click();
        for (SwitchPanelPage* page : {panels.first.get(), panels.second.get()}) {
            QVERIFY2(panels.radio(*page, step.operation)->isChecked(), qPrintable(step.operation));
            QVERIFY2(panels.radio(*page, step.execution)->isChecked(), qPrintable(step.operation));
        }
    }
    // The execution choice alone, from the second page.
    panels.radio(*panels.second, anyKey)->click();
    QVERIFY(panels.radio(*panels.first, anyKey)->isChecked());
    QVERIFY(panels.radio(*panels.first, QStringLiteral("清除配置"))->isChecked());
    QCOMPARE(panels.context->engine().execution(), commissioning::Execution::AnyKey);
}

// Device 8 has no record (type 0); "全选" makes its button usable. Each step removes the reason
// of the refusal before it, so each text shows only when every earlier check passes.
void SwitchPanelPageTest::refusalsInOrder() {
    Panels panels(false);
    panels.first->findChild<QCheckBox*>(QStringLiteral("selectAll"))->click();
    QVERIFY(panels.send(8)->isEnabled());
    auto pressGives = [&](const QString& expected) {
        panels.prompter.clear();
        panels.send(8)->click();
        QCOMPARE(panels.prompter.texts(), QStringList{expected});
        QVERIFY(panels.framesTo(8).isEmpty());
    };
    pressGives(QStringLiteral("请选择串口!"));

    panels.openSim();
    panels.runCommand(Action::VerifyAll);
    QVERIFY(panels.context->engine().runActive());
    pressGives(QStringLiteral("正在发送所有数据!"));
    panels.runCommand(Action::Stop);
    QVERIFY(!panels.context->engine().runActive());

    pressGives(QStringLiteral("请选择发送类型!"));
    for (const char* operation : {"下发配置", "校验配置", "清除配置", "仅下发编号"}) {
        panels.choose(QString::fromUtf8(operation));
        pressGives(QStringLiteral("设备类型未确定，请修改!"));
    }
    // Reading a device of unknown type is allowed: F1 F4, type 0, device 8, read, length 9.
    panels.choose(QStringLiteral("读取配置(覆盖当前配置)"));
    panels.prompter.clear();
    panels.send(8)->click();
    QVERIFY(panels.prompter.texts().isEmpty());
    QCOMPARE(panels.framesTo(8).size(), 1);
    QCOMPARE(panels.framesTo(8).first().bytes,
             (Bytes{0xF1, 0xF4, 0x00, 0x08, 0x02, 0x09, 0xF8, 0xF3, 0xF4}));
}

void SwitchPanelPageTest::onReceiptAsksAndAnyKeySendsAt0x81() {
    Panels panels;
    panels.choose(QStringLiteral("下发配置"));
    panels.radio(*panels.second, QStringLiteral("收到即执行"))->click();

    panels.send(1)->click();  // the recorder answers Cancel
    QCOMPARE(panels.prompter.records().size(), 1);
    QCOMPARE(panels.prompter.records()[0].kind, testing::PromptRecord::Kind::Question);
    QCOMPARE(panels.prompter.records()[0].text, QStringLiteral("收到即执行，将覆盖所有配置数据?"));
    QCOMPARE(panels.prompter.records()[0].caption, QStringLiteral("询问..."));
    QVERIFY(panels.written.isEmpty());
    QVERIFY(panels.send(1)->isEnabled());

    panels.prompter.answerNext(platform::Answer::Ok);
    panels.send(1)->click();
    QCOMPARE(panels.written.size(), 1);
    const Bytes& sent = panels.written[0].bytes;
    // Device 1 of the example: switch panel (type 1), operation 1, payload frame.
    QCOMPARE(Bytes(sent.begin(), sent.begin() + 5), (Bytes{0xF1, 0xF4, 0x01, 0x01, 0x01}));
    QCOMPARE(int(sent[5]), int(sent.size()));
    QTRY_VERIFY_WITH_TIMEOUT(panels.send(1)->isEnabled(), 4000);

    panels.prompter.clear();
    panels.radio(*panels.first, QStringLiteral("按任意键执行"))->click();
    panels.send(2)->click();
    QVERIFY(panels.prompter.records().isEmpty());  // no question
    QCOMPARE(panels.framesTo(2).size(), 1);
    QCOMPARE(int(panels.framesTo(2)[0].bytes[4]), 0x81);
    QCOMPARE(int(panels.framesTo(2)[0].bytes[3]), 2);
}

void SwitchPanelPageTest::sendButtonsRestFor2Seconds() {
    Panels panels;
    panels.choose(QStringLiteral("校验配置"));
    QElapsedTimer clock;
    clock.start();
    panels.send(3)->click();
    QCOMPARE(panels.framesTo(3).size(), 1);
    for (int device = 1; device <= 32; ++device) QVERIFY(!panels.send(device)->isEnabled());
    // A second press meanwhile sends nothing (the buttons are off; the engine refuses silently).
    panels.context->run([&](TimePoint now, bool confirmed) {
        return panels.context->engine().sendDevice(3, now, confirmed);
    });
    QCOMPARE(panels.framesTo(3).size(), 1);
    QTest::qWait(1500);
    QVERIFY(!panels.send(3)->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(panels.send(3)->isEnabled(), 3000);
    QVERIFY(clock.elapsed() >= 1990);
    for (int device = 1; device <= 32; ++device)
        QCOMPARE(panels.send(device)->isEnabled(), device <= 7);
}

// Device 4 of the example (书桌调光) has keys 26 and 70 only and relays 26 and 70 only.
void SwitchPanelPageTest::emptyKeyDrawsNothing() {
    Panels panels(false);
    const QImage image = shot(*panels.first);
    for (int line = 1; line <= 6; ++line) {
        const bool used = line <= 2;
        const QRect key = keyLine(4, line);
        const QRect relay = relayLine(4, line);
        QCOMPARE(countColour(image, key, kKey) > 0, used);
        QCOMPARE(ink(image, key, kKey).isEmpty(), !used);
        QCOMPARE(countColour(image, relay, kRelay) > 0, used);
        QCOMPARE(ink(image, relay, kRelay).isEmpty(), !used);
    }
    // Device 8 has no record: only its position line, "位置:" on its box.
    const commissioning::CellOrigin at = commissioning::cellOrigin(8);
    QVERIFY(countColour(image, QRect(at.x, at.y + 96, 40, 15), kGrey) > 0);
    QCOMPARE(countColour(image, QRect(at.x, at.y, 290, 95), kGrey), 0);
}

void SwitchPanelPageTest::unselectingGreysTheCellKeepingItsTexts() {
    Panels panels;
    const QImage before = shot(*panels.first);
    const QRect cell = cellArea(1);
    for (const QColor& colour : {kKey, kPosition, kRelay})
        QVERIFY(countColour(before, cell, colour) > 100);
    QCOMPARE(countColour(before, cell, kGrey), 0);

    panels.select(1)->click();
    QCOMPARE(panels.room().selected[1], 0);
    const QImage after = shot(*panels.first);
    for (const QColor& colour : {kKey, kPosition, kRelay})
        QCOMPARE(countColour(after, cell, colour), 0);
    QVERIFY(countColour(after, cell, kGrey) > 300);
    // The same ink in the same places: a pixel is ink when it is less than half as bright as
    // the box it sits on (antialiased edges blend with the box colour).
    struct Line {
        QRect area;
        QColor before;
    };
    QList<Line> lines{{QRect(55, 30 + 96, 140, 15), kPosition}};
    for (int k = 1; k <= 6; ++k)
        lines << Line{keyLine(1, k), kKey} << Line{relayLine(1, k), kRelay};
    int inkPixels = 0;
    for (const Line& line : lines) {
        const QList<QPoint> inkBefore = ink(before, line.area, line.before);
        const QList<QPoint> inkAfter = ink(after, line.area, kGrey);
        inkPixels += inkBefore.size();
        const QSet<QPoint> a(inkBefore.begin(), inkBefore.end());
        const QSet<QPoint> b(inkAfter.begin(), inkAfter.end());
        const qsizetype differing = (a - b).size() + (b - a).size();
        QVERIFY2(differing * 25 <= inkBefore.size(),
                 qPrintable(QStringLiteral("%1 of %2").arg(differing).arg(inkBefore.size())));
    }
    QVERIFY(inkPixels > 200);
    // The grey boxes stand out from the cell's panel around them.
    const commissioning::CellOrigin at = commissioning::cellOrigin(1);
    const int panel = qGray(after.pixel(at.x + 140, at.y + 104));
    QVERIFY2(std::abs(panel - kGrey.value()) >= 30, qPrintable(QString::number(panel)));
    // The neighbour keeps its colours.
    QVERIFY(countColour(after, cellArea(2), kKey) > 100);
}

// Devices 17 and 32 given what devices 1 and 16 hold paint the same pixels at the same places.
void SwitchPanelPageTest::secondPageUsesTheSamePositions() {
    Panels panels(false);
    model::RoomTypeConfig& room = panels.room();
    auto copyDevice = [&room](int from, int to) {
        for (int k = 1; k <= 6; ++k) {
            room.inputLamp[6 * (to - 1) + k] = room.inputLamp[6 * (from - 1) + k];
            room.outputLamp[6 * (to - 1) + k] = room.outputLamp[6 * (from - 1) + k];
        }
        room.devices[to].name = room.devices[from].name;
        room.devices[to].type = room.devices[from].type;
        room.selected[to] = room.selected[from];
    };
    copyDevice(1, 17);
    copyDevice(2, 32);
    copyDevice(2, 16);
    const QImage page1 = shot(*panels.first);
    const QImage page2 = shot(*panels.second);
    QVERIFY(countColour(page2, cellArea(17), kKey) > 100);
    QVERIFY(countColour(page2, cellArea(32), kKey) > 100);
    // Only the "17#"/"32#" tags at the bottom right differ; the texts are the same pixels.
    QCOMPARE(page2.copy(cellArea(17)), page1.copy(cellArea(1)));
    QCOMPARE(page2.copy(cellArea(32)), page1.copy(cellArea(16)));
    // Device 18 (no record) is not drawn where device 2 is.
    QVERIFY(page2.copy(cellArea(18)) != page1.copy(cellArea(2)));
}

void SwitchPanelPageTest::badgesAfterVerifyAll() {
    Panels panels;
    panels.link->bus().faults(3).silent = true;
    panels.runCommand(Action::VerifyAll);
    QTRY_VERIFY_WITH_TIMEOUT(!panels.context->engine().runActive(), 15000);
    for (int device = 1; device <= 16; ++device) {
        const Badge expected = device == 3   ? Badge::NoAnswer
                               : device <= 7 ? Badge::Matched
                                             : Badge::None;
        QCOMPARE(int(panels.first->badge(device)), int(expected));
    }
    QCOMPARE(int(panels.second->badge(3)), int(Badge::NoAnswer));  // both pages follow the run
    const QImage image = shot(*panels.first);
    const QRect badge1 = gui::WiringView::badgeRect(1);
    const QRect badge3 = gui::WiringView::badgeRect(3);
    QVERIFY(countColour(image, badge1, QColor(0, 150, 60)) > 20);
    QVERIFY(countColour(image, badge3, QColor(225, 130, 0)) > 20);
    QCOMPARE(countColour(image, gui::WiringView::badgeRect(9), QColor(225, 130, 0)), 0);
    // The selection colours are the same as before the run.
    QVERIFY(countColour(image, cellArea(3), kKey) > 100);
    QCOMPARE(countColour(image, cellArea(3), kGrey), 0);

    // A new verify all keeps the last verdicts, drawn paler as from an earlier run, until it
    // has checked each device again.
    panels.runCommand(Action::VerifyAll);
    QCOMPARE(int(panels.first->badge(3)), int(Badge::NoAnswer));
    QCOMPARE(int(panels.first->badge(1)), int(Badge::Matched));
    const QImage earlier = shot(*panels.first);
    QCOMPARE(countColour(earlier, badge3, QColor(225, 130, 0)), 0);
    QVERIFY(countColour(earlier, badge3, QColor(225, 130, 0).lighter(160)) > 20);
    panels.runCommand(Action::Stop);
}

// Shown smaller or larger, the view draws the whole drawing scaled, in the same places.
void SwitchPanelPageTest::viewScalesTheDrawingToItsSpace_data() {
    QTest::addColumn<QSize>("size");
    const QSize drawn = gui::WiringView::drawnArea().size();
    QTest::newRow("laptop") << drawn * 0.6;
    QTest::newRow("half, wide") << QSize(drawn.width(), drawn.height() / 2);
    QTest::newRow("large") << drawn * 1.3;
}
void SwitchPanelPageTest::viewScalesTheDrawingToItsSpace() {
    QFETCH(QSize, size);
    Panels panels;
    // Out of its scroll area, which would give it the size of its viewport.
    const std::unique_ptr<QWidget> taken(
        panels.first->findChild<QScrollArea*>(QStringLiteral("wiringScroll"))->takeWidget());
    auto* view = static_cast<gui::WiringView*>(taken.get());
    view->resize(size);
    const QTransform toView = view->toView();
    QVERIFY(
        view->rect().adjusted(-1, -1, 1, 1).contains(toView.mapRect(gui::WiringView::drawnArea())));
    const QImage image = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const double scale = toView.m11();
    const QRect cell = toView.mapRect(cellArea(1));
    const int full = countColour(shot(*panels.first), cellArea(1), kKey);
    const int shown = countColour(image, cell, kKey);
    // Box fills scale with the area; text ink takes a larger share when small, so allow a margin.
    QVERIFY2(shown > full * scale * scale * 0.4 && shown < full * scale * scale * 1.6,
             qPrintable(QStringLiteral("%1 of %2 at %3").arg(shown).arg(full).arg(scale)));
}

QTEST_MAIN(SwitchPanelPageTest)
#include "switch_panel_page_test.moc"
