// The hand-over PDF: written page by page into the target's temporary file, a room at a time.

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "platform/hand_over.h"
#include "platform/hand_over_pages.h"
#include "platform/hand_over_texts.h"
#include "platform/save_stream.h"

namespace room::platform {

namespace hand_over {

Fonts reportFonts() {
    auto font = [](qreal points, bool bold) {
        QFont f(QStringLiteral("WenQuanYi Micro Hei"));
        f.setPointSizeF(points);
        f.setBold(bold);
        return f;
    };
    return {font(18, true),   font(11, true),  font(9.5, false), font(9.5, true),
            font(8.5, false), font(8.5, true), font(8, false),   font(11, false)};
}

}  // namespace hand_over

namespace {

constexpr int kDotsPerInch = 300;
constexpr qreal kMarginMm = 15;
constexpr qreal kFooterMm = 8;

class PdfPages {
public:
    explicit PdfPages(SaveStream& out) : m_writer(&out) {
        m_writer.setPageSize(QPageSize(QPageSize::A4));
        m_writer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm));
        m_writer.setResolution(kDotsPerInch);
        m_writer.setTitle(QStringLiteral("调试交接报告"));
        m_writer.setCreator(QStringLiteral("roomcfg"));
    }

    bool begin() { return m_painter.begin(&m_writer); }
    void end() { m_painter.end(); }

    PageFlow flow(std::function<void(PageFlow&)> head,
                  std::function<void(Page&&)> pageDone = nullptr) const {
        const qreal footer = m_writer.logicalDpiY() * kFooterMm / 25.4;
        return PageFlow(&m_writer, QSizeF(m_writer.width(), m_writer.height() - footer),
                        std::move(head), std::move(pageDone));
    }

    // A room's pages: laid out first, as a room's pages are few, and counted on their own.
    void paint(const std::vector<Page>& pages) {
        const int count = static_cast<int>(pages.size());
        for (int i = 0; i < count; ++i) paintOne(pages[static_cast<std::size_t>(i)], i + 1, count);
    }

    // The summary's pages: its list of rooms may run over hundreds of pages, so it is laid out
    // twice, to count them and then to paint each as it is done, rather than held.
    void paintSummary(const ReportJob& job, const QString& hotel) {
        int count = 0;
        PageFlow counting =
            flow(hand_over::summaryHead(hotel, m_fonts), [&count](Page&&) { ++count; });
        hand_over::layOutSummary(counting, job, m_fonts);
        counting.takePages();
        int done = 0;
        PageFlow painting =
            flow(hand_over::summaryHead(hotel, m_fonts),
                 [this, &done, count](Page&& page) { paintOne(page, ++done, count); });
        hand_over::layOutSummary(painting, job, m_fonts);
        painting.takePages();
    }

    const hand_over::Fonts& fonts() const { return m_fonts; }

private:
    void paintOne(const Page& page, int number, int count) {
        if (m_pagesDone++ > 0) m_writer.newPage();
        paintPage(m_painter, page);
        m_painter.setPen(Qt::black);
        m_painter.setFont(m_fonts.head);
        m_painter.drawText(QRectF(0, 0, m_writer.width(), m_writer.height()),
                           Qt::AlignHCenter | Qt::AlignBottom,
                           QStringLiteral("第%1/%2页").arg(number).arg(count));
    }

    QPdfWriter m_writer;
    QPainter m_painter;
    const hand_over::Fonts m_fonts = hand_over::reportFonts();
    int m_pagesDone = 0;
};

ReportResult stop(PdfPages& pages, SaveStream& out, ReportResult result, QString* error,
                  const QString& reason = {}) {
    pages.end();
    out.cancel();
    if (error && result == ReportResult::Failed) *error = reason;
    return result;
}

}  // namespace

ReportResult writeHandOverPdf(const QString& path, const ReportJob& job, QString* error) {
    SaveStream out(path);
    if (!out.begin()) {
        if (error) *error = out.error();
        return ReportResult::Failed;
    }
    PdfPages pages(out);
    if (!pages.begin())
        return stop(pages, out, ReportResult::Failed, error, QStringLiteral("无法生成PDF"));
    const hand_over::Fonts& fonts = pages.fonts();
    const QString hotel = hand_over::qs(job.status.hotel());
    pages.paintSummary(job, hotel);
    const int total = static_cast<int>(job.rooms.size());
    for (int done = 0; done < total; ++done) {
        const RoomStatus& status = job.status.rooms.at(job.rooms[static_cast<std::size_t>(done)]);
        const std::optional<ReportRoom> room = job.fetch(status);
        if (!room) {
            return stop(pages, out, ReportResult::Failed, error,
                        hand_over::unreadableRoomText(status.room.roomNumber));
        }
        PageFlow flow = pages.flow(hand_over::roomHead(status, hotel, fonts));
        hand_over::layOutRoom(flow, *room, fonts);
        pages.paint(flow.takePages());
        if (out.failed()) return stop(pages, out, ReportResult::Failed, error, out.error());
        if (job.progress && !job.progress(done + 1, total)) {
            return stop(pages, out, ReportResult::Cancelled, error);
        }
    }
    pages.end();
    if (!out.finish()) {
        if (error) *error = out.error();
        return ReportResult::Failed;
    }
    return ReportResult::Written;
}

}  // namespace room::platform
