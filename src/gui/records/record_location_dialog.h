#pragma once
// "调试记录位置...": where the commissioning record lives. A file (the default, the user's own)
// or a team's PostgreSQL server as postgresql://USER@HOST[:PORT]/DB. The password is typed in a
// field of its own, kept in memory for this session and never written to setinfo.ini; left empty,
// it comes from PGPASSWORD or ~/.pgpass. "测试连接" opens the record and says what it found.

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;

namespace room::platform {
class SettingsStore;
}

namespace room::gui {

class RecordLocationDialog : public QDialog {
    Q_OBJECT

public:
    // Where a file is chosen: (parent, current) -> path, empty to cancel.
    using FileAsker = std::function<QString(QWidget*, const QString&)>;
    RecordLocationDialog(platform::SettingsStore* settings, FileAsker askFile, QWidget* parent = nullptr);

    QLineEdit* locationField() const { return m_location; }
    QLineEdit* passwordField() const { return m_password; }
    QString statusText() const;
    // The location with the password typed here; empty when the text is no location.
    QString chosen() const;
    // Opens the record at the chosen location; says what it found or why it failed.
    bool testConnection();
    // Takes the location: written (without a password) to setinfo.ini, used from now on.
    bool apply();

    // At start-up: the location setinfo.ini names, if any, becomes the windows' record.
    static void useSavedLocation(const platform::SettingsStore& settings);

private:
    platform::SettingsStore* m_settings;
    FileAsker m_askFile;
    QLineEdit* m_location = nullptr;
    QLineEdit* m_password = nullptr;
    QLabel* m_status = nullptr;
};

}  // namespace room::gui
