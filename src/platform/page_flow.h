#pragma once
// Pages laid out before they are painted, so that each page can say how many there are. Text
// wraps at word boundaries (or anywhere, for a long hash); a paragraph or a table row is never
// split across pages, a table's caption and header come again on every page it continues on,
// and a kept block (a signature block) moves whole to the next page when it does not fit.

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QStringList>
#include <QTextLayout>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPainter;
class QPaintDevice;

namespace room::platform {

// A box (filled, outlined or both) or a laid-out text.
struct PageItem {
    QRectF box;
    QColor fill;  // invalid: not filled
    bool outline = false;
    std::shared_ptr<QTextLayout> text;
    QPointF at;
    QColor colour = Qt::black;
};
using Page = std::vector<PageItem>;

void paintPage(QPainter& painter, const Page& page);

struct TableStyle {
    QString caption;  // above the table; "(续)" is added on the pages it continues on
    QFont captionFont;
    QFont headerFont;
    QFont cellFont;
    std::vector<qreal> shares;  // each column's part of the width, adding up to 1
    QStringList header;
};

class PageFlow {
public:
    // `body`: the page's size in the device's pixels, without its footer. `pageHead` is called at
    // the top of every page to lay out what each page repeats. With `pageDone`, each page is
    // handed over when the next begins rather than kept, for a part too long to hold.
    PageFlow(const QPaintDevice* device, QSizeF body, std::function<void(PageFlow&)> pageHead,
             std::function<void(Page&&)> pageDone = nullptr);

    qreal width() const { return m_body.width(); }
    qreal millimetres(qreal mm) const;

    void paragraph(const QString& text, const QFont& font, QColor colour = Qt::black);
    void gap(qreal height);
    void rule();
    // Lines with `spacing` between them, kept on one page; a run of '_' is drawn wide, as a blank
    // to write on.
    void keptLines(const QStringList& lines, const QFont& font, qreal spacing);

    void beginTable(TableStyle style);
    // A row taller than a page is placed at the top of one and runs over its foot: split what
    // may grow that tall.
    void row(const QStringList& cells, const std::vector<QColor>& colours = {});
    // Whether a row of these cells fits under the table's header on a page of its own.
    bool rowFitsAPage(const QStringList& cells) const;
    void endTable();

    // The pages laid out (at least one; none when they were handed over); the flow is done
    // with after.
    std::vector<Page> takePages();

private:
    std::shared_ptr<QTextLayout> layout(const QString& text, const QFont& font, qreal width,
                                        const QList<QTextLayout::FormatRange>& formats = {}) const;
    struct LaidRow {
        std::vector<std::shared_ptr<QTextLayout>> cells;
        qreal height = 0;
    };
    LaidRow layRow(const QStringList& cells, const QFont& font) const;
    void place(const LaidRow& row, const std::vector<QColor>& colours, QColor fill);
    void tableHead(bool continued);
    // Starts a new page unless `height` fits below the cursor (or the page is still empty).
    void ensureSpace(qreal height);
    void newPage();

    const QPaintDevice* m_device;
    QSizeF m_body;
    std::function<void(PageFlow&)> m_pageHead;
    std::function<void(Page&&)> m_pageDone;
    std::vector<Page> m_pages;
    qreal m_y = 0;
    qreal m_headBottom = 0;  // where a page's own content starts
    qreal m_pad = 0;
    std::optional<TableStyle> m_table;
    LaidRow m_header;
    qreal m_captionHeight = 0;
    bool m_tableHeadPlaced = false;
    bool m_inHead = false;
};

}  // namespace room::platform
