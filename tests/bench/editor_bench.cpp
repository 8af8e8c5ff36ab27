// How long the room-type editors take to open and close with a full room type, beside a plain
// QDialog that holds the same number of plain widgets of the same kinds with the same entries.
//
//   editor_bench [--runs N]
//
// The full room type is the example with 24 devices, every lamp of every category in use, so each
// channel list of the port editor offers its ~150 entries. One run builds the dialog, shows it,
// lets it paint, closes and destroys it. The reference is built by walking the real dialog's
// widgets once, tab page by tab page, and making a plain widget of each kind with the same texts
// (combo entries, table cells) in an eight-column grid. Runs alternate between the two so that
// machine load hits both alike; the medians and their ratio are printed (aim: at most 1.5).

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "core/format/shd_file.h"
#include "gui/editors/definition_dialog.h"
#include "gui/editors/port_dialog.h"
#include "gui/editors/scene_dialog.h"
#include "gui/main/application.h"
#include "platform/prompter.h"

namespace {

using namespace room;

class SilentPrompter : public platform::Prompter {
public:
    void information(const QString&, const QString&) override {}
    void warning(const QString&, const QString&) override {}
    platform::Answer question(const QString&, const QString&, platform::QuestionButtons) override {
        return platform::Answer::Cancel;
    }
};

template <std::size_t N>
void useAll(model::RoomTypeConfig& room, const std::array<std::uint8_t, N>& list) {
    for (std::uint8_t lamp : model::listItems(list)) room.lampInUse[lamp] = 1;
}

model::RoomTypeConfig fullRoom() {
    QFile file(QStringLiteral(ROOM_EXAMPLES "/grand-hotel-deluxe.shd"));
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    model::RoomTypeConfig room = model::makeStartupRoomType();
    format::readRoomTypeFile(std::string_view(bytes.constData(), std::size_t(bytes.size())), room);
    useAll(room, room.ordinaryLightKeys);
    useAll(room, room.dimmerAndOtherKeys);
    useAll(room, room.curtainKeys);
    useAll(room, room.sceneModeKeys);
    useAll(room, room.airConditionerKeys);
    room.deviceCount = 24;
    room.switchPanelCount = 24 - room.thermostatCount - room.curtainControllerCount;
    for (int v = 1; v <= 24; ++v) {
        if (room.devices[v].type == 0) room.devices[v].type = 1;
        if (room.devices[v].type != 1) continue;
        for (int c = 0; c < 6; ++c) {
            model::setInput(room, v, c, 10 + (v + c) % 40);
            model::setOutput(room, v, c, 10 + (v * 3 + c) % 40);
        }
    }
    room.sendToSwitch = true;
    return room;
}

// A plain widget of the same kind and texts as `from`, or null for containers and the rest.
QWidget* plainCopy(QWidget* from) {
    if (auto* c = qobject_cast<QComboBox*>(from)) {
        auto* copy = new QComboBox;
        QStringList items;
        for (int i = 0; i < c->count(); ++i) items.append(c->itemText(i));
        copy->addItems(items);
        return copy;
    }
    if (auto* t = qobject_cast<QTableWidget*>(from)) {
        auto* copy = new QTableWidget(t->rowCount(), t->columnCount());
        for (int r = 0; r < t->rowCount(); ++r) {
            for (int col = 0; col < t->columnCount(); ++col) {
                if (QTableWidgetItem* item = t->item(r, col))
                    copy->setItem(r, col, new QTableWidgetItem(item->text()));
            }
        }
        return copy;
    }
    if (auto* e = qobject_cast<QLineEdit*>(from)) return new QLineEdit(e->text());
    if (auto* b = qobject_cast<QCheckBox*>(from)) return new QCheckBox(b->text());
    if (auto* r = qobject_cast<QRadioButton*>(from)) return new QRadioButton(r->text());
    if (auto* p = qobject_cast<QPushButton*>(from)) return new QPushButton(p->text());
    if (auto* l = qobject_cast<QLabel*>(from)) return new QLabel(l->text());
    return nullptr;
}

void addCopies(QWidget* source, QGridLayout* grid, const std::function<bool(QWidget*)>& take) {
    int n = 0;
    for (QWidget* child : source->findChildren<QWidget*>()) {
        if (!take(child)) continue;
        QWidget* copy = plainCopy(child);
        if (!copy) continue;
        copy->setVisible(child->isVisibleTo(source));
        grid->addWidget(copy, n / 8, n % 8);
        ++n;
    }
}

// The reference dialog as a recipe: built anew on every run from the texts taken once.
std::function<std::unique_ptr<QDialog>()> plainRecipe(QDialog& real) {
    real.show();
    QApplication::processEvents();
    auto* tabs = real.findChild<QTabWidget*>();
    return [&real, tabs] {
        auto dialog = std::make_unique<QDialog>();
        auto* layout = new QVBoxLayout(dialog.get());
        if (!tabs) {  // an editor without pages: every widget in one grid
            auto* all = new QWidget(dialog.get());
            addCopies(&real, new QGridLayout(all), [](QWidget*) { return true; });
            layout->addWidget(all);
            return dialog;
        }
        auto* plainTabs = new QTabWidget(dialog.get());
        for (int i = 0; i < tabs->count(); ++i) {
            auto* page = new QWidget;
            addCopies(tabs->widget(i), new QGridLayout(page), [](QWidget*) { return true; });
            plainTabs->addTab(page, tabs->tabText(i));
        }
        layout->addWidget(plainTabs);
        auto* rest = new QWidget(dialog.get());
        addCopies(&real, new QGridLayout(rest),
                  [tabs](QWidget* w) { return !tabs->isAncestorOf(w); });
        layout->addWidget(rest);
        return dialog;
    };
}

double openAndClose(const std::function<std::unique_ptr<QDialog>()>& make) {
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<QDialog> dialog = make();
    dialog->show();
    QApplication::processEvents();
    dialog->close();
    dialog.reset();
    QApplication::processEvents();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void bench(const char* name, int runs, const std::function<std::unique_ptr<QDialog>()>& make) {
    // The sample stays (hidden) while the reference copies its texts run after run.
    std::unique_ptr<QDialog> sample = make();
    const auto plain = plainRecipe(*sample);
    sample->hide();
    const int widgets = static_cast<int>(sample->findChildren<QWidget*>().size());
    std::vector<double> editor, reference;
    openAndClose(make);  // warm the fonts and styles for both
    openAndClose(plain);
    for (int i = 0; i < runs; ++i) {
        editor.push_back(openAndClose(make));
        reference.push_back(openAndClose(plain));
    }
    const double e = median(editor);
    const double r = median(reference);
    std::printf("%-22s widgets %4d   editor %8.1f ms   plain QDialog %8.1f ms   ratio %.2f\n", name,
                widgets, e, r, e / r);
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 9;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    gui::applyDialogColours(app);
    SilentPrompter prompter;
    const model::RoomTypeConfig full = fullRoom();
    model::RoomTypeConfig room = full;
    model::RoomTypeConfig edit = full;
    std::printf("median of %d runs, open + show + close, 24 devices\n", runs);
    bench("definition dialog", runs, [&] {
        room = full;
        return std::make_unique<gui::DefinitionDialog>(room, edit, editing::EditMode::Modify,
                                                       prompter, nullptr);
    });
    bench("port editor", runs, [&] {
        room = full;
        edit = full;
        return std::make_unique<gui::PortDialog>(room, edit, editing::EditMode::Modify, prompter);
    });
    bench("scene editor", runs, [&] {
        room = full;
        edit = full;
        return std::make_unique<gui::SceneDialog>(room, edit, editing::EditMode::Modify, prompter);
    });
    return 0;
}
