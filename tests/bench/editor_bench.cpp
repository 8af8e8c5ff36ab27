// How long the room-type editors take to open and close with a full room type, beside a plain
// QDialog that holds the same number of plain widgets of the same kinds with the same entries.
//
//   editor_bench [--runs N]
//
// The full room type is the example with 24 devices, every lamp of every category in use, so each
// channel list of the port editor offers its ~150 entries. One run builds the dialog, shows it,
// lets it paint, closes and destroys it. The reference is described once, before any timing, by
// walking a sample of the real dialog tab page by tab page; each run then makes a plain widget of
// each kind with the same texts (combo entries, table cells), size settings and visibility in an
// eight-column grid, and lists that share an entry model in the editor share one here too. Runs
// alternate between the two so that machine load hits both alike; the medians and their ratio are
// printed (aim: at most 1.5).

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
#include <QStringListModel>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "core/format/shd_file.h"
#include "gui/editors/definition_dialog.h"
#include "gui/editors/port_dialog.h"
#include "gui/editors/scene_dialog.h"
#include "gui/main/application.h"
#include "platform/prompter.h"
#include "silent_prompter.h"

namespace {

using namespace room;

using benchmarks::SilentPrompter;

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

// The reference, taken once from a sample of the real dialog outside the timed part: for each
// widget its kind, texts, visibility and size settings. Lists that share one entry model in the
// editor share one in the reference too.
struct PlainWidget {
    enum class Kind { Combo, Table, Line, Check, Radio, Push, Label } kind = Kind::Label;
    QStringList texts;  // combo entries, table cells by row, or the one text
    int rows = 0, columns = 0;
    int sharedModel = -1;  // index into PlainDialog::models
    bool visible = true;
    QSizePolicy policy;
    QSize minimum, maximum;
    QComboBox::SizeAdjustPolicy adjust = QComboBox::AdjustToContentsOnFirstShow;
    int minimumContents = 0;
};

struct PlainPage {
    QString tabText;
    std::vector<PlainWidget> widgets;
};

struct PlainDialog {
    std::vector<QStringList> models;
    std::vector<PlainPage> pages;  // none for an editor without tabs
    std::vector<PlainWidget> rest;
};

QStringList entriesOf(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items.append(combo->itemText(i));
    return items;
}

std::optional<PlainWidget> describe(QWidget* from, QWidget* root, PlainDialog& plain,
                                    std::map<QAbstractItemModel*, int>& models,
                                    const std::map<QAbstractItemModel*, int>& users) {
    PlainWidget w;
    if (auto* c = qobject_cast<QComboBox*>(from)) {
        w.kind = PlainWidget::Kind::Combo;
        w.adjust = c->sizeAdjustPolicy();
        w.minimumContents = c->minimumContentsLength();
        if (users.at(c->model()) > 1) {
            auto [at, added] = models.emplace(c->model(), static_cast<int>(plain.models.size()));
            if (added) plain.models.push_back(entriesOf(c));
            w.sharedModel = at->second;
        } else {
            w.texts = entriesOf(c);
        }
    } else if (auto* t = qobject_cast<QTableWidget*>(from)) {
        w.kind = PlainWidget::Kind::Table;
        w.rows = t->rowCount();
        w.columns = t->columnCount();
        for (int r = 0; r < w.rows; ++r) {
            for (int col = 0; col < w.columns; ++col) {
                QTableWidgetItem* item = t->item(r, col);
                w.texts.append(item ? item->text() : QString());
            }
        }
    } else if (auto* e = qobject_cast<QLineEdit*>(from)) {
        w.kind = PlainWidget::Kind::Line;
        w.texts = {e->text()};
    } else if (auto* b = qobject_cast<QCheckBox*>(from)) {
        w.kind = PlainWidget::Kind::Check;
        w.texts = {b->text()};
    } else if (auto* r = qobject_cast<QRadioButton*>(from)) {
        w.kind = PlainWidget::Kind::Radio;
        w.texts = {r->text()};
    } else if (auto* p = qobject_cast<QPushButton*>(from)) {
        w.kind = PlainWidget::Kind::Push;
        w.texts = {p->text()};
    } else if (auto* l = qobject_cast<QLabel*>(from)) {
        w.kind = PlainWidget::Kind::Label;
        w.texts = {l->text()};
    } else {
        return std::nullopt;
    }
    w.visible = from->isVisibleTo(root);
    w.policy = from->sizePolicy();
    w.minimum = from->minimumSize();
    w.maximum = from->maximumSize();
    return w;
}

PlainDialog takePlain(QDialog& real) {
    real.show();
    QApplication::processEvents();
    PlainDialog plain;
    std::map<QAbstractItemModel*, int> users;
    for (QComboBox* c : real.findChildren<QComboBox*>()) ++users[c->model()];
    std::map<QAbstractItemModel*, int> models;
    auto take = [&](QWidget* source, std::vector<PlainWidget>& out, auto&& keep) {
        for (QWidget* child : source->findChildren<QWidget*>()) {
            if (!keep(child)) continue;
            if (auto w = describe(child, source, plain, models, users)) out.push_back(*w);
        }
    };
    auto* tabs = real.findChild<QTabWidget*>();
    if (!tabs) {
        take(&real, plain.rest, [](QWidget*) { return true; });
        return plain;
    }
    for (int i = 0; i < tabs->count(); ++i) {
        plain.pages.push_back({tabs->tabText(i), {}});
        take(tabs->widget(i), plain.pages.back().widgets, [](QWidget*) { return true; });
    }
    take(&real, plain.rest, [tabs](QWidget* w) { return !tabs->isAncestorOf(w); });
    return plain;
}

QWidget* build(const PlainWidget& w, const std::vector<QStringListModel*>& models) {
    QWidget* made = nullptr;
    switch (w.kind) {
        case PlainWidget::Kind::Combo: {
            auto* combo = new QComboBox;
            combo->setSizeAdjustPolicy(w.adjust);
            combo->setMinimumContentsLength(w.minimumContents);
            if (w.sharedModel >= 0) {
                combo->setModel(models[static_cast<std::size_t>(w.sharedModel)]);
            } else {
                combo->addItems(w.texts);
            }
            made = combo;
            break;
        }
        case PlainWidget::Kind::Table: {
            auto* table = new QTableWidget(w.rows, w.columns);
            for (int r = 0; r < w.rows; ++r) {
                for (int col = 0; col < w.columns; ++col) {
                    const QString& text = w.texts[r * w.columns + col];
                    if (!text.isEmpty()) table->setItem(r, col, new QTableWidgetItem(text));
                }
            }
            made = table;
            break;
        }
        case PlainWidget::Kind::Line:
            made = new QLineEdit(w.texts.value(0));
            break;
        case PlainWidget::Kind::Check:
            made = new QCheckBox(w.texts.value(0));
            break;
        case PlainWidget::Kind::Radio:
            made = new QRadioButton(w.texts.value(0));
            break;
        case PlainWidget::Kind::Push:
            made = new QPushButton(w.texts.value(0));
            break;
        case PlainWidget::Kind::Label:
            made = new QLabel(w.texts.value(0));
            break;
    }
    made->setSizePolicy(w.policy);
    made->setMinimumSize(w.minimum);
    made->setMaximumSize(w.maximum);
    made->setVisible(w.visible);
    return made;
}

QWidget* buildGrid(const std::vector<PlainWidget>& widgets,
                   const std::vector<QStringListModel*>& models) {
    auto* area = new QWidget;
    auto* grid = new QGridLayout(area);
    int n = 0;
    for (const PlainWidget& w : widgets) {
        grid->addWidget(build(w, models), n / 8, n % 8);
        ++n;
    }
    return area;
}

// The reference dialog as a recipe: built anew on every run from the description taken once.
std::function<std::unique_ptr<QDialog>()> plainRecipe(QDialog& real) {
    auto plain = std::make_shared<PlainDialog>(takePlain(real));
    return [plain] {
        auto dialog = std::make_unique<QDialog>();
        std::vector<QStringListModel*> models;
        for (const QStringList& texts : plain->models) {
            models.push_back(new QStringListModel(texts, dialog.get()));
        }
        auto* layout = new QVBoxLayout(dialog.get());
        if (!plain->pages.empty()) {
            auto* tabs = new QTabWidget(dialog.get());
            for (const PlainPage& page : plain->pages) {
                tabs->addTab(buildGrid(page.widgets, models), page.tabText);
            }
            layout->addWidget(tabs);
        }
        layout->addWidget(buildGrid(plain->rest, models));
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
    std::unique_ptr<QDialog> sample = make();
    const auto plain = plainRecipe(*sample);
    const int widgets = static_cast<int>(sample->findChildren<QWidget*>().size());
    sample.reset();
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
    int runs = 15;  // the machine may be busy with other work: medians of enough runs
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
