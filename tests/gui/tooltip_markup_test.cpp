// The tooltip markup rendered by Qt's own rich-text engine: what a user sees, read back from the
// laid-out document rather than from the HTML text.

#include "gui/toolkit/tooltip_markup.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include "gui/toolkit/colors.h"

using namespace room;

namespace {
struct Run {
    QString text;
    bool bold;
    QColor color;  // invalid: the tooltip's own colour
    Qt::Alignment alignment;
};

QList<Run> runs(const QTextDocument& document) {
    QList<Run> list;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (QTextCursor(block).currentTable()) continue;  // the rule
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const QColor color = format.hasProperty(QTextFormat::ForegroundBrush)
                                     ? format.foreground().color()
                                     : QColor();
            list.append({fragment.text().replace(QChar(0xA0), u' '),  // nowrap keeps blanks as nbsp
                         format.fontWeight() >= QFont::Bold, color,
                         block.blockFormat().alignment() & Qt::AlignHorizontal_Mask});
        }
    }
    return list;
}
}  // namespace

class TooltipMarkupTest : public QObject {
    Q_OBJECT

private slots:
    void toolbarMarkupIsBoldBlueCentredTitleRuleAndDescription() {
        const QString markup = gui::toolbarTooltipMarkup("新建", "新建房型配置文件");
        QCOMPARE(markup, QStringLiteral("<b><ct=0x0000FF><al_c>新建</b><br><ct=0x00AA00>"
                                        "<hr=100%></ct><br>新建房型配置文件"));
        QTextDocument document;
        document.setHtml(gui::tooltipRichText(markup));
        const QList<Run> parts = runs(document);
        QCOMPARE(parts.size(), 2);
        QCOMPARE(parts[0].text, QStringLiteral("新建"));
        QVERIFY(parts[0].bold);
        QCOMPARE(parts[0].color, QColor(0, 0, 255));
        QCOMPARE(parts[0].alignment, Qt::AlignHCenter);
        QCOMPARE(parts[1].text, QStringLiteral("新建房型配置文件"));
        QVERIFY(!parts[1].bold);
        QVERIFY(!parts[1].color.isValid());
        QVERIFY(parts[1].alignment != Qt::AlignHCenter);

        // The rule: a full-width table between title and description, its cell edged in green.
        QList<QTextTable*> tables;
        for (QTextFrame* frame : document.rootFrame()->childFrames()) {
            if (auto* table = qobject_cast<QTextTable*>(frame)) tables << table;
        }
        QCOMPARE(tables.size(), 1);
        const QTextTableFormat format = tables[0]->format();
        QCOMPARE(format.width(), QTextLength(QTextLength::PercentageLength, 100));
        const QTextTableCellFormat cell = tables[0]->cellAt(0, 0).format().toTableCellFormat();
        QCOMPARE(cell.topBorderBrush().color(), QColor(0, 0xAA, 0));
        QVERIFY(cell.topBorder() > 0);
    }

    void markupDetails_data() {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QColor>("color");
        QTest::newRow("closing tag restores") << "<b>a</b>b"
                                              << "b" << false << QColor();
        QTest::newRow("colour stays until closed") << "<ct=0x00AA00>a<br>b"
                                                   << "b" << false << QColor(0, 0xAA, 0);
        QTest::newRow("nested colours") << "<ct=0x0000FF><ct=0xFF0000>a</ct>b"
                                        << "b" << false << QColor(0, 0, 255);
        QTest::newRow("text is escaped") << "a<b>R&D \"x\"</b>"
                                         << "R&D \"x\"" << true << QColor();
        QTest::newRow("unknown tag dropped") << "<zz=1>plain"
                                             << "plain" << false << QColor();
    }
    void markupDetails() {
        QFETCH(QString, markup);
        QFETCH(QString, text);
        QFETCH(bool, bold);
        QFETCH(QColor, color);
        QTextDocument document;
        document.setHtml(gui::tooltipRichText(markup));
        const QList<Run> parts = runs(document);
        QVERIFY(!parts.isEmpty());
        QCOMPARE(parts.last().text, text);
        QCOMPARE(parts.last().bold, bold);
        QCOMPARE(parts.last().color, color);
    }

    void colorRefIsBlueGreenRed() {
        QCOMPARE(gui::fromColorRef(gui::kRelayOnColorRef), QColor(0, 255, 255));
        QCOMPARE(gui::fromColorRef(gui::kRelayOffColorRef), QColor(10, 10, 10));
        QCOMPARE(gui::fromColorRef(gui::kRelayThirdColorRef), QColor(0x8B, 0x7E, 0x66));
    }
};

QTEST_MAIN(TooltipMarkupTest)
#include "tooltip_markup_test.moc"
