#include "platform/qt_translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace room::platform {

QStringList installChineseQtTexts() {
    // Beside the program first (a Windows install), then where Qt keeps them.
    const QStringList folders{
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations")),
        QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QStringList missing;
    for (const char* catalogue : {"qtbase", "qtserialport"}) {
        // Owned by the application: translators must outlive every window.
        auto* translator = new QTranslator(QCoreApplication::instance());
        bool loaded = false;
        for (const QString& folder : folders) {
            if (translator->load(chinese, QString::fromLatin1(catalogue), QStringLiteral("_"),
                                 folder)) {
                loaded = QCoreApplication::installTranslator(translator);
                break;
            }
        }
        if (!loaded) {
            delete translator;
            missing << QString::fromLatin1(catalogue) + QStringLiteral("_zh_CN.qm");
        }
    }
    return missing;
}

}  // namespace room::platform
