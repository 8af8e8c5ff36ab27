// Qt's own buttons and dialogs speak Chinese once the catalogues are installed.

#include "platform/qt_translations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>

class QtTranslationsTest : public QObject {
    Q_OBJECT

private slots:
    void standardButtonsAreChinese_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("text");
        QTest::newRow("ok") << int(QDialogButtonBox::Ok) << QStringLiteral("确定");
        QTest::newRow("cancel") << int(QDialogButtonBox::Cancel) << QStringLiteral("取消");
        QTest::newRow("yes") << int(QDialogButtonBox::Yes) << QStringLiteral("是");
        QTest::newRow("no") << int(QDialogButtonBox::No) << QStringLiteral("否");
    }
    void standardButtonsAreChinese() {
        QFETCH(int, button);
        QFETCH(QString, text);
        static const QStringList missing = room::platform::installChineseQtTexts();
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(", ")));
        QDialogButtonBox box{QDialogButtonBox::StandardButton(button)};
        // The mnemonic may follow in brackets ("是(&Y)").
        QVERIFY2(box.buttons().first()->text().startsWith(text),
                 qPrintable(box.buttons().first()->text()));
    }
};

QTEST_MAIN(QtTranslationsTest)
#include "qt_translations_test.moc"
