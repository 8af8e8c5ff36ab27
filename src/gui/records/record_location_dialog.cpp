#include "gui/records/record_location_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>

#include "gui/toolkit/labelled.h"
#include "platform/record_location.h"
#include "platform/record_store.h"
#include "platform/settings_store.h"

namespace room::gui {

RecordLocationDialog::RecordLocationDialog(platform::SettingsStore* settings, FileAsker askFile,
                                           QWidget* parent)
    : QDialog(parent), m_settings(settings), m_askFile(std::move(askFile)) {
    setWindowTitle(QStringLiteral("调试记录位置"));
    auto* grid = new QGridLayout(this);
    auto* where = new QLabel(QStringLiteral("调试记录位置:"), this);
    m_location = new QLineEdit(platform::shownLocation(platform::RecordStore::userRecord()), this);
    m_location->setObjectName(QStringLiteral("recordLocation"));
    m_location->setMinimumWidth(460);
    m_location->setPlaceholderText(QStringLiteral("文件, 或 postgresql://用户@服务器:端口/数据库"));
    labelFor(where, m_location);
    auto* browse = new QPushButton(QStringLiteral("浏览..."), this);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString path = m_askFile ? m_askFile(this, m_location->text()) : QString();
        if (!path.isEmpty()) m_location->setText(path);
    });
    auto* key = new QLabel(QStringLiteral("密码:"), this);
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("recordPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setToolTip(QStringLiteral("只在本次运行中使用, 不写入文件; 留空则取 PGPASSWORD 或 ~/.pgpass"));
    labelFor(key, m_password);
    auto* test = new QPushButton(QStringLiteral("测试连接"), this);
    connect(test, &QPushButton::clicked, this, &RecordLocationDialog::testConnection);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("locationStatus"));
    m_status->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (apply()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto syncPassword = [this] { m_password->setEnabled(platform::isRecordUrl(m_location->text().trimmed())); };
    connect(m_location, &QLineEdit::textChanged, this, syncPassword);
    syncPassword();
    grid->addWidget(where, 0, 0);
    grid->addWidget(m_location, 0, 1);
    grid->addWidget(browse, 0, 2);
    grid->addWidget(key, 1, 0);
    grid->addWidget(m_password, 1, 1);
    grid->addWidget(test, 1, 2);
    grid->addWidget(m_status, 2, 0, 1, 3);
    grid->addWidget(buttons, 3, 0, 1, 3);
}

QString RecordLocationDialog::statusText() const {
    return m_status->text();
}

QString RecordLocationDialog::chosen() const {
    const QString text = m_location->text().trimmed();
    if (text.isEmpty()) return platform::RecordStore::defaultPath();
    if (!platform::isRecordUrl(text) || m_password->text().isEmpty()) return text;
    QUrl url(text);
    url.setPassword(m_password->text());
    return url.toString();
}

bool RecordLocationDialog::testConnection() {
    QString problem;
    if (!platform::parseRecordLocation(chosen(), &problem)) {
        m_status->setText(problem);
        return false;
    }
    platform::RecordStore store(chosen(), 1000);
    const auto rooms = store.roomRuns();
    m_status->setText(rooms ? QStringLiteral("连接成功: %1个房间有调试记录").arg(rooms->size())
                            : store.errorString());
    return rooms.has_value();
}

bool RecordLocationDialog::apply() {
    QString problem;
    const auto location = platform::parseRecordLocation(chosen(), &problem);
    if (!location) {
        m_status->setText(problem);
        return false;
    }
    // The user's own file is no setting at all; anything else is kept without its password.
    const bool own = !location->shared() && location->shown() == platform::shownLocation(platform::RecordStore::defaultPath());
    if (m_settings && !m_settings->writeSetting(format::kRecordLocationKey,
                                                own ? std::string() : location->shown().toStdString())) {
        m_status->setText(m_settings->errorString());
        return false;
    }
    platform::RecordStore::setUserRecord(own ? QString() : chosen());
    return true;
}

void RecordLocationDialog::useSavedLocation(const platform::SettingsStore& settings) {
    const QString saved = QString::fromStdString(settings.readSetting(format::kRecordLocationKey)).trimmed();
    if (!saved.isEmpty()) platform::RecordStore::setUserRecord(saved);
}

}  // namespace room::gui
