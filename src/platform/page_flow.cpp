#include "platform/page_flow.h"

#include <QPaintDevice>
#include <QPainter>
#include <QTextCharFormat>
#include <QTextOption>
#include <algorithm>

namespace room::platform {

namespace {

constexpr qreal kMillimetresPerInch = 25.4;
constexpr qreal kLineMm = 0.2;  // table lines and rules

// A run of '_' is a blank to write on by hand: drawn four times as wide, so the text stays as
// written and the blank is long enough for a signature.
QList<QTextLayout::FormatRange> blanksDrawnWide(const QString& line, const QFont& font) {
    QList<QTextLayout::FormatRange> formats;
    QFont wide = font;
    wide.setStretch(400);
    for (qsizetype at = line.indexOf(QLatin1Char('_')); at >= 0;) {
        qsizetype end = at;
        while (end < line.size() && line[end] == QLatin1Char('_')) ++end;
        QTextCharFormat format;
        format.setFont(wide);
        formats.push_back({static_cast<int>(at), static_cast<int>(end - at), format});
        at = line.indexOf(QLatin1Char('_'), end);
    }
    return formats;
}

}  // namespace

void paintPage(QPainter& painter, const Page& page) {
    const qreal line = painter.device()->logicalDpiX() * kLineMm / kMillimetresPerInch;
    for (const PageItem& item : page) {
        if (!item.box.isEmpty()) {
            if (item.fill.isValid()) painter.fillRect(item.box, item.fill);
            if (item.outline) {
                painter.setPen(QPen(Qt::black, line));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(item.box);
            }
        }
        if (item.text) {
            painter.setPen(item.colour);
            item.text->draw(&painter, item.at);
        }
    }
}

PageFlow::PageFlow(const QPaintDevice* device, QSizeF body, std::function<void(PageFlow&)> pageHead,
                   std::function<void(Page&&)> pageDone)
    : m_device(device),
      m_body(body),
      m_pageHead(std::move(pageHead)),
      m_pageDone(std::move(pageDone)) {
    m_pad = millimetres(1.2);
    newPage();
}

qreal PageFlow::millimetres(qreal mm) const {
    return m_device->logicalDpiY() * mm / kMillimetresPerInch;
}

std::shared_ptr<QTextLayout> PageFlow::layout(
    const QString& text, const QFont& font, qreal width,
    const QList<QTextLayout::FormatRange>& formats) const {
    QString lines = text;
    lines.replace(QLatin1Char('\n'), QChar::LineSeparator);
    auto result = std::make_shared<QTextLayout>(lines, font, m_device);
    QTextOption option;
    // A hash or a path has no word boundary to wrap at.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    result->setTextOption(option);
    result->setFormats(formats);
    result->beginLayout();
    qreal y = 0;
    for (QTextLine line = result->createLine(); line.isValid(); line = result->createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    result->endLayout();
    return result;
}

void PageFlow::ensureSpace(qreal height) {
    if (m_inHead || m_y <= m_headBottom || m_y + height <= m_body.height()) return;
    newPage();
}

void PageFlow::newPage() {
    if (m_pageDone && !m_pages.empty()) {
        m_pageDone(std::move(m_pages.back()));
        m_pages.clear();
    }
    m_pages.emplace_back();
    m_y = 0;
    m_headBottom = 0;
    if (m_pageHead) {
        m_inHead = true;
        m_pageHead(*this);
        m_inHead = false;
    }
    m_headBottom = m_y;
}

void PageFlow::paragraph(const QString& text, const QFont& font, QColor colour) {
    std::shared_ptr<QTextLayout> laid = layout(text, font, width());
    const qreal height = laid->boundingRect().height();
    ensureSpace(height);
    m_pages.back().push_back({{}, {}, false, std::move(laid), QPointF(0, m_y), colour});
    m_y += height + m_pad;
}

void PageFlow::gap(qreal height) {
    m_y += height;
}

void PageFlow::rule() {
    const qreal thickness = millimetres(kLineMm);
    m_pages.back().push_back({QRectF(0, m_y, width(), thickness), Qt::black, false, {}, {}, {}});
    m_y += thickness + m_pad;
}

void PageFlow::keptLines(const QStringList& lines, const QFont& font, qreal spacing) {
    std::vector<std::shared_ptr<QTextLayout>> laid;
    qreal height = 0;
    for (const QString& line : lines) {
        laid.push_back(layout(line, font, width(), blanksDrawnWide(line, font)));
        height += laid.back()->boundingRect().height() + spacing;
    }
    ensureSpace(height);
    for (std::shared_ptr<QTextLayout>& text : laid) {
        const qreal lineHeight = text->boundingRect().height();
        m_pages.back().push_back({{}, {}, false, std::move(text), QPointF(0, m_y), Qt::black});
        m_y += lineHeight + spacing;
    }
}

void PageFlow::beginTable(TableStyle style) {
    m_table = std::move(style);
    m_tableHeadPlaced = false;
    // Laid out once: the header is the same on every page the table runs over.
    m_header = layRow(m_table->header, m_table->headerFont);
    m_captionHeight = 0;
    if (!m_table->caption.isEmpty()) {
        m_captionHeight =
            layout(m_table->caption, m_table->captionFont, width())->boundingRect().height() +
            m_pad;
    }
}

PageFlow::LaidRow PageFlow::layRow(const QStringList& cells, const QFont& font) const {
    LaidRow row;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const qreal cellWidth = m_table->shares[static_cast<std::size_t>(i)] * width() - 2 * m_pad;
        row.cells.push_back(layout(cells[i], font, cellWidth));
        row.height = std::max(row.height, row.cells.back()->boundingRect().height());
    }
    row.height += 2 * m_pad;
    return row;
}

void PageFlow::place(const LaidRow& row, const std::vector<QColor>& colours, QColor fill) {
    qreal x = 0;
    for (std::size_t column = 0; column < row.cells.size(); ++column) {
        const qreal cellWidth = m_table->shares[column] * width();
        const QColor colour = column < colours.size() ? colours[column] : QColor(Qt::black);
        m_pages.back().push_back({QRectF(x, m_y, cellWidth, row.height), fill, true,
                                  row.cells[column], QPointF(x + m_pad, m_y + m_pad), colour});
        x += cellWidth;
    }
    m_y += row.height;
}

void PageFlow::tableHead(bool continued) {
    if (!m_table->caption.isEmpty()) {
        const QString caption =
            continued ? m_table->caption + QStringLiteral(" (续)") : m_table->caption;
        paragraph(caption, m_table->captionFont);
    }
    place(m_header, {}, QColor(0xE8, 0xE8, 0xE8));
    m_tableHeadPlaced = true;
}

void PageFlow::row(const QStringList& cells, const std::vector<QColor>& colours) {
    const LaidRow laid = layRow(cells, m_table->cellFont);
    if (!m_tableHeadPlaced) {
        ensureSpace(m_captionHeight + m_header.height + laid.height);
        tableHead(false);
    } else if (m_y + laid.height > m_body.height()) {
        newPage();
        tableHead(true);
    }
    place(laid, colours, {});
}

bool PageFlow::rowFitsAPage(const QStringList& cells) const {
    const qreal height = layRow(cells, m_table->cellFont).height;
    return m_headBottom + m_captionHeight + m_header.height + height <= m_body.height();
}

void PageFlow::endTable() {
    if (!m_tableHeadPlaced) {
        ensureSpace(m_captionHeight + m_header.height);
        tableHead(false);
    }
    m_table.reset();
    m_y += 3 * m_pad;
}

std::vector<Page> PageFlow::takePages() {
    if (m_pageDone && !m_pages.empty()) {
        m_pageDone(std::move(m_pages.back()));
        m_pages.clear();
    }
    return std::move(m_pages);
}

}  // namespace room::platform
