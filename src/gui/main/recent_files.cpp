#include "gui/main/recent_files.h"

#include <QDir>
#include <QMenu>

#include "core/format/settings.h"
#include "platform/settings_store.h"

namespace room::gui {

RecentFiles::RecentFiles(platform::SettingsStore* store, QMenu* menu, QObject* parent)
    : QObject(parent), m_store(store), m_menu(menu) {
    if (m_store) m_paths = m_store->readList(format::kRecentFileKey, format::kRecentFileCount);
    fillMenu();
}

void RecentFiles::add(const QString& path) {
    std::vector<std::string> items;
    for (const QString& p : m_paths) items.push_back(p.toStdString());
    items = format::rememberFirst(std::move(items), path.toStdString(), format::kRecentFileCount);
    m_paths.clear();
    for (const std::string& item : items) m_paths << QString::fromStdString(item);
    // A settings file that cannot be written costs only the list of the next start.
    if (m_store) m_store->writeList(format::kRecentFileKey, m_paths, format::kRecentFileCount);
    fillMenu();
}

// The entries are made once and only relabelled: an entry is still delivering its click when
// the file it opened moves to the top of the list.
void RecentFiles::fillMenu() {
    while (m_menu->actions().size() < qsizetype(format::kRecentFileCount)) {
        QAction* action = m_menu->addAction(QString());
        connect(action, &QAction::triggered, this, [this, action] {
            const QString path = action->data().toString();
            if (!path.isEmpty()) emit chosen(path);
        });
    }
    m_menu->setEnabled(!m_paths.isEmpty());
    const QList<QAction*> actions = m_menu->actions();
    for (qsizetype i = 0; i < actions.size(); ++i) {
        const QString path = i < m_paths.size() ? m_paths[i] : QString();
        // "&1 " gives each entry a key; "&" in a name must not become one.
        const QString shown =
            QDir::toNativeSeparators(path).replace(QLatin1Char('&'), QStringLiteral("&&"));
        actions[i]->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        actions[i]->setData(path);
        actions[i]->setVisible(!path.isEmpty());
    }
}

}  // namespace room::gui
