#include "gui/ports/port_combo_box.h"

#include <QAbstractItemView>
#include <QContextMenuEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <algorithm>

#include "core/format/settings.h"
#include "gui/toolkit/wheel_guard.h"
#include "platform/ports.h"
#include "platform/settings_store.h"
#include "platform/tcp_link.h"

namespace room::gui {

namespace {
bool g_simulationOffered = false;

PortComboBox::Lister& lister() {
    static PortComboBox::Lister current = systemPorts;
    return current;
}

QString askPath(QWidget* parent, const QString& lastPath) {
    bool ok = false;
    const QString path = QInputDialog::getText(parent, QStringLiteral("其它串口"),
                                               QStringLiteral("串口路径:"), QLineEdit::Normal,
                                               lastPath, &ok);
    return ok ? path.trimmed() : QString();
}

PortComboBox::PathAsker& asker() {
    static PortComboBox::PathAsker current = askPath;
    return current;
}

struct PathMemory {
    platform::SettingsStore* store = nullptr;
    QStringList paths;
    bool loaded = false;
};

PathMemory& memory() {
    static PathMemory shared;
    if (!shared.loaded && shared.store) {
        shared.paths = shared.store->readList(format::kTypedPortKey, format::kTypedPortCount);
    }
    shared.loaded = true;
    return shared;
}

void rememberPath(const QString& path) {
    PathMemory& m = memory();
    m.paths.removeAll(path);
    m.paths.prepend(path);
    while (m.paths.size() > qsizetype(format::kTypedPortCount)) m.paths.removeLast();
    if (m.store) m.store->writeList(format::kTypedPortKey, m.paths, format::kTypedPortCount);
}

void forgetPath(const QString& path) {
    PathMemory& m = memory();
    m.paths.removeAll(path);
    if (m.store) m.store->writeList(format::kTypedPortKey, m.paths, format::kTypedPortCount);
}

// The simulated bus has no port name: it is remembered by its text.
QString rememberedName(const PortChoice& choice) {
    return choice.simulated ? kSimulatedBusText : choice.portName;
}

void rememberLastPort(const PortChoice& choice) {
    PathMemory& m = memory();
    if (m.store) m.store->writeSetting(format::kLastPortKey, rememberedName(choice).toStdString());
}

QString lastPort() {
    PathMemory& m = memory();
    return m.store ? QString::fromStdString(m.store->readSetting(format::kLastPortKey)) : QString();
}
}  // namespace

void PortComboBox::setPathAsker(PathAsker newAsker) {
    asker() = newAsker ? std::move(newAsker) : PathAsker(askPath);
}

void PortComboBox::setPathMemory(platform::SettingsStore* store) {
    memory() = PathMemory{store, {}, false};
}

QStringList PortComboBox::typedPaths() {
    return memory().paths;
}

void PortComboBox::setSimulationOffered(bool offered) {
    g_simulationOffered = offered;
}
bool PortComboBox::simulationOffered() {
    return g_simulationOffered;
}
void PortComboBox::setLister(Lister newLister) {
    lister() = newLister ? std::move(newLister) : Lister(systemPorts);
}

PortComboBox::PortComboBox(QWidget* parent) : QComboBox(parent) {
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(18);
    ignoreWheelUnlessFocused(this);  // a stray wheel would switch the open port
    connect(this, &QComboBox::activated, this, &PortComboBox::onActivated);
    view()->installEventFilter(this);
    view()->viewport()->installEventFilter(this);
}

void PortComboBox::refill() {
    m_choices = lister()();
    m_firstTypedRow = static_cast<int>(m_choices.size());
    for (const QString& path : memory().paths) {
        const bool listed = std::any_of(m_choices.begin(), m_choices.end(), [&](const PortChoice& c) {
            return c.portName == path;
        });
        if (!listed) m_choices.append(PortChoice{path, path, false});
    }
    // "其它..." closes the ports; the simulated bus stays the last row, where it always was.
    m_otherRow = static_cast<int>(m_choices.size());
    m_choices.append(PortChoice{kOtherPortText, QString(), false});
    if (g_simulationOffered) m_choices.append(PortChoice{kSimulatedBusText, QString(), true});
    clear();
    for (int row = 0; row < m_choices.size(); ++row) {
        const PortChoice& choice = m_choices[row];
        // A network address is no file: whether it answers shows when it is opened.
        const bool missing = typedRow(row) && !platform::isTcpPortPath(choice.portName) &&
                             !platform::portPathExists(choice.portName);
        if (missing) {
            addItem(choice.displayText + kMissingPortMark);
            setItemData(row, palette().color(QPalette::Disabled, QPalette::Text),
                        Qt::ForegroundRole);
        } else {
            addItem(choice.displayText);
        }
    }
    setCurrentIndex(-1);
    m_lastRow = -1;
    selectRemembered();
}

// Shown only: the installer opens it by choosing it.
void PortComboBox::selectRemembered() {
    const QString last = lastPort();
    if (last.isEmpty()) return;
    for (int row = 0; row < m_choices.size(); ++row) {
        if (row != m_otherRow && rememberedName(m_choices[row]) == last) {
            setCurrentIndex(row);
            return;
        }
    }
}

bool PortComboBox::forgetRow(int row) {
    if (!typedRow(row)) return false;
    forgetPath(m_choices[row].portName);
    m_choices.removeAt(row);
    --m_otherRow;
    if (m_lastRow == row) m_lastRow = -1;
    if (m_lastRow > row) --m_lastRow;
    const int shown = currentIndex();
    removeItem(row);
    if (shown == row) setCurrentIndex(m_lastRow);
    return true;
}

bool PortComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view() && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        if (forgetRow(view()->currentIndex().row())) return true;
    }
    if (watched == view()->viewport() && event->type() == QEvent::ContextMenu) {
        const QPoint at = static_cast<QContextMenuEvent*>(event)->pos();
        const int row = view()->indexAt(at).row();
        if (typedRow(row)) {
            QMenu menu(view());
            QAction* forget = menu.addAction(kForgetPortText);
            if (menu.exec(view()->viewport()->mapToGlobal(at)) == forget) forgetRow(row);
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void PortComboBox::onActivated(int row) {
    if (row == m_otherRow) {
        askForPath();
        return;
    }
    if (row < 0 || row >= m_choices.size()) return;
    m_lastRow = row;
    rememberLastPort(m_choices[row]);
    emit portChosen(m_choices[row]);
}

void PortComboBox::askForPath() {
    const QStringList typed = memory().paths;
    const QString path = asker()(this, typed.isEmpty() ? QString() : typed.first());
    if (path.isEmpty()) {
        setCurrentIndex(m_lastRow);  // cancelled: the port in use stays shown
        return;
    }
    rememberPath(path);
    refill();
    selectChoice(PortChoice{path, path, false});
    onActivated(currentIndex());
}

void PortComboBox::selectChoice(const PortChoice& chosen) {
    for (qsizetype row = 0; row < m_choices.size(); ++row) {
        if (row == m_otherRow) continue;
        if (m_choices[row].simulated == chosen.simulated &&
            m_choices[row].portName == chosen.portName) {
            setCurrentIndex(static_cast<int>(row));
            m_lastRow = static_cast<int>(row);
            return;
        }
    }
}

void PortComboBox::focusInEvent(QFocusEvent* event) {
    if (count() == 0) refill();
    QComboBox::focusInEvent(event);
}

void PortComboBox::showPopup() {
    const PortChoice chosen = choiceAt(currentIndex());
    refill();
    if (!chosen.displayText.isEmpty()) selectChoice(chosen);
    QComboBox::showPopup();
}

QList<PortChoice> systemPorts() {
    QList<PortChoice> choices;
    for (const platform::PortRow& row : platform::availablePorts()) {
        choices.append(PortChoice{row.displayText, row.portName, false});
    }
    return choices;
}

PortChoice PortComboBox::choiceAt(int row) const {
    if (row == m_otherRow) return {};
    return row >= 0 && row < m_choices.size() ? m_choices[row] : PortChoice{};
}

}  // namespace room::gui
