#pragma once
// "最近打开": the room-type files last opened or saved, newest first, kept in the settings so a
// fresh start offers them too. The list fills a menu; choosing an entry emits `chosen`.

#include <QObject>
#include <QStringList>

class QMenu;

namespace room::platform {
class SettingsStore;
}

namespace room::gui {

class RecentFiles : public QObject {
    Q_OBJECT
public:
    // Without a store the list lives as long as the window.
    RecentFiles(platform::SettingsStore* store, QMenu* menu, QObject* parent = nullptr);

    void add(const QString& path);
    QStringList paths() const { return m_paths; }

signals:
    void chosen(const QString& path);

private:
    void fillMenu();

    platform::SettingsStore* m_store;
    QMenu* m_menu;
    QStringList m_paths;
};

}  // namespace room::gui
