#pragma once
// A device console over the in-process simulated bus, with the example room type, a fixed clock
// and the recording prompter: the console window tests share it.

#include <QDateTime>
#include <memory>

#include "gui/console/console_context.h"
#include "gui/console/console_window.h"
#include "gui/ports/port_combo_box.h"
#include "platform/simulated_link.h"
#include "test_page_fixture.h"

namespace room::testing {

using gui::ConsoleOptions;
using gui::ConsoleWindow;
using gui::PortChoice;
using gui::PortComboBox;
using platform::SimulatedLink;

// Sunday 1 March 2026, 09:05.
inline QDateTime fixedNow() {
    return QDateTime(QDate(2026, 3, 1), QTime(9, 5, 30));
}

struct ConsoleFixture {
    room::gui::RoomDocument document;
    RecordingPrompter prompter;
    SimulatedLink* link = nullptr;
    std::unique_ptr<ConsoleWindow> window;

    QString recordsPath;  // the commissioning record it writes (empty: the user's own)

    explicit ConsoleFixture(bool example = true, QString records = {})
        : recordsPath(std::move(records)) {
        if (example) {
            loadExample(document.room);
            room::model::refreshMasks(document.room);
        }
        PortComboBox::setLister([] { return QList<PortChoice>{}; });
        PortComboBox::setSimulationOffered(true);
        window = std::make_unique<ConsoleWindow>(document, prompter, options());
    }
    ~ConsoleFixture() { PortComboBox::setSimulationOffered(false); }

    ConsoleOptions options() {
        ConsoleOptions made;
        made.clock = fixedNow;
        made.records.path = recordsPath;
        made.linkFactory = [this](const PortChoice&, const room::model::RoomTypeConfig& room) {
            auto simulated = std::make_unique<SimulatedLink>(room);
            link = simulated.get();
            return simulated;
        };
        return made;
    }
    void choosePort() {
        PortComboBox* ports = window->portList();
        const int sim = ports->count() - 1;  // the last row, after "其它..."
        QCOMPARE(ports->itemText(sim), QStringLiteral("SIM 模拟设备总线"));
        choose(ports, sim);
        QVERIFY(window->context().portOpen());
    }
    QPushButton* button(int id) const {
        return named(window.get(), QStringLiteral("btn%1").arg(id));
    }
    void press(int id) const { QTest::mouseClick(button(id), Qt::LeftButton); }
    std::size_t framesSent() const {
        std::size_t sent = 0;
        for (const auto& line : window->busLog()->log().lines())
            if (line.direction == room::gui::BusLogLine::Direction::Sent) ++sent;
        return sent;
    }
    bool idle() { return !window->context().engine().runActive(); }
};

}  // namespace room::testing
