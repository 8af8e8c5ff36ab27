#include "platform/record_location.h"

#include <QFileInfo>
#include <QUrl>
#include <QUrlQuery>

namespace room::platform {

bool isRecordUrl(const QString& text) {
    return text.startsWith(QStringLiteral("postgresql://"), Qt::CaseInsensitive) ||
           text.startsWith(QStringLiteral("postgres://"), Qt::CaseInsensitive);
}

QString RecordLocation::shown() const {
    if (engine == Engine::Sqlite) return QFileInfo(path).absoluteFilePath();
    QString text = QStringLiteral("postgresql://") + user + QLatin1Char('@');
    const bool socket = host.startsWith(QLatin1Char('/'));
    if (!socket) text += host;
    if (port != 0) text += QLatin1Char(':') + QString::number(port);
    text += QLatin1Char('/') + database;
    if (socket) text += QStringLiteral("?host=") + host;
    return text;
}

QString shownLocation(const QString& text) {
    const auto location = parseRecordLocation(text, nullptr);
    return location ? location->shown() : text;
}

std::optional<RecordLocation> parseRecordLocation(const QString& text, QString* error) {
    RecordLocation location;
    if (!isRecordUrl(text)) {
        location.path = text;
        return location;
    }
    const QUrl url(text, QUrl::StrictMode);
    const QString database = url.path(QUrl::FullyDecoded).mid(1);
    QString problem;
    if (!url.isValid()) problem = url.errorString();
    else if (url.userName().isEmpty()) problem = QStringLiteral("缺少用户名");
    else if (database.isEmpty() || database.contains(QLatin1Char('/'))) problem = QStringLiteral("缺少数据库名");
    const QString socket = QUrlQuery(url).queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded);
    if (problem.isEmpty() && url.host().isEmpty() && socket.isEmpty()) problem = QStringLiteral("缺少服务器");
    if (!problem.isEmpty()) {
        if (error) *error = QStringLiteral("调试记录位置无效: ") + problem;
        return std::nullopt;
    }
    location.engine = RecordLocation::Engine::Postgres;
    location.user = url.userName(QUrl::FullyDecoded);
    location.password = url.password(QUrl::FullyDecoded);
    location.host = socket.isEmpty() ? url.host() : socket;
    location.port = url.port(0);
    location.database = database;
    return location;
}

}  // namespace room::platform
