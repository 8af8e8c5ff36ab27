#include "gui/console/wiring_view.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <initializer_list>

#include "core/model/catalogues.h"

namespace room::gui {

using commissioning::Badge;
using commissioning::CellOrigin;
using commissioning::Rgb;
using commissioning::WiringText;

namespace {

constexpr int kFontHeight = 15;
constexpr int kFontWidth = 8;
constexpr int kBoxHeight = kFontHeight;
constexpr int kBadgeTop = 115;    // below the position line (96 + 16)
constexpr int kBadgeWidth = 130;  // stays left of the relay column
constexpr int kBadgeSize = 14;
constexpr int kLegendTop = 650;  // below the fourth row of cells (483 + 151)
constexpr int kLegendPitch = 22;  // the scan's line below the first

const QColor kPanelColour(170, 182, 196);

// The cell's panel on the background: a little margin round the texts, clear of its neighbours.
QRect panelRect(CellOrigin at) {
    return QRect(at.x - 12, at.y - 10, commissioning::kCellPitchX - 12,
                 commissioning::kCellPitchY - 9);
}

QColor toColor(Rgb rgb) {
    return QColor(rgb.r, rgb.g, rgb.b);
}

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

struct BadgeLook {
    QColor colour;
    QString symbol;
    QString label;
};

BadgeLook badgeLook(Badge badge) {
    switch (badge) {
        case Badge::Matched:
            return {QColor(0, 150, 60), QStringLiteral("✓"), QStringLiteral("校验一致")};
        case Badge::Read:
            return {QColor(0, 150, 60), QStringLiteral("✓"), QStringLiteral("已读取")};
        case Badge::Differences:
            return {QColor(210, 40, 40), QStringLiteral("✗"), QStringLiteral("数据异常")};
        case Badge::NoAnswer:
            return {QColor(225, 130, 0), QStringLiteral("?"), QStringLiteral("无应答")};
        case Badge::Sent:
            return {QColor(30, 110, 190), QStringLiteral("✓"), QStringLiteral("已下发")};
        case Badge::Found:
            return {QColor(0, 150, 60), QStringLiteral("✓"), QStringLiteral("应答")};
        case Badge::Missing:
            return {QColor(210, 40, 40), QStringLiteral("✗"), QStringLiteral("缺少")};
        case Badge::Extra:
            return {QColor(130, 60, 180), QStringLiteral("+"), QStringLiteral("多出")};
        case Badge::Slow:
            return {QColor(225, 130, 0), QStringLiteral("!"), QStringLiteral("应答慢")};
        case Badge::None:
            break;
    }
    return {};
}

}  // namespace

WiringView::WiringView(const model::RoomTypeConfig& room, int firstDevice,
                       const commissioning::ResultBadges& badges, QWidget* parent)
    : QWidget(parent),
      m_room(room),
      m_firstDevice(firstDevice),
      m_badges(badges),
      m_font(wiringFont()) {
    setObjectName(QStringLiteral("wiringView%1").arg(firstDevice));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize WiringView::sizeHint() const {
    return drawnArea().size();
}

// Below a third the texts can no longer be read; the page scrolls instead.
QSize WiringView::minimumSizeHint() const {
    return drawnArea().size() / 3;
}

QTransform WiringView::toView() const {
    const QRect drawn = drawnArea();
    const double scale =
        std::min(double(width()) / drawn.width(), double(height()) / drawn.height());
    // Centred across, at the top: the controls beside it start at the top too.
    const double left = std::max(0.0, (width() - scale * drawn.width()) / 2);
    QTransform transform;
    transform.translate(left, 0);
    transform.scale(scale, scale);
    transform.translate(-drawn.left(), -drawn.top());
    return transform;
}

// The part of the drawing that holds anything: the cells, the legend and a margin round them.
// The empty band on the right of the picture and below the legend is not worth screen room.
QRect WiringView::drawnArea() {
    const QRect last = panelRect(commissioning::cellOrigin(commissioning::kDevicesPerPage));
    return QRect(QPoint(commissioning::kCellLeft - 24, 0),
                 QPoint(last.right() + 12, kLegendTop + kLegendPitch + 30));
}

QImage WiringView::drawing() const {
    QImage image(commissioning::kWiringWidth, commissioning::kWiringHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    paintDrawing(painter);
    return image;
}

QFont WiringView::wiringFont() {
    const QStringList installed = QFontDatabase::families();
    QFont font = QGuiApplication::font();
    // Monospaced CJK faces first: they keep Latin at half the width of a Chinese character, as
    // "宋体" does.
    for (const char* name :
         {"宋体", "SimSun", "NSimSun", "WenQuanYi Micro Hei Mono", "Noto Sans Mono CJK SC",
          "WenQuanYi Micro Hei", "Noto Sans CJK SC", "Droid Sans Fallback"}) {
        const QString family = QString::fromUtf8(name);
        if (installed.contains(family)) {
            font = QFont(family);
            break;
        }
    }
    font.setPixelSize(kFontHeight);
    font.setWeight(QFont::Normal);
    font.setStretch(QFont::Unstretched);
    const int advance = QFontMetrics(font).horizontalAdvance(QLatin1Char('0'));
    if (advance > 0 && advance != kFontWidth) {
        font.setStretch(qBound(50, qRound(100.0 * kFontWidth / advance), 200));
    }
    return font;
}

QRect WiringView::badgeRect(int device) {
    const CellOrigin at = commissioning::cellOrigin(device);
    return QRect(at.x, at.y + kBadgeTop, kBadgeWidth, kBadgeSize + 2);
}

void WiringView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The part of the view the drawing leaves free on the right or below.
    painter.fillRect(rect(), QColor(204, 215, 226));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setTransform(toView());
    paintDrawing(painter);
}

void WiringView::paintDrawing(QPainter& painter) const {
    paintBackground(painter);
    painter.setFont(m_font);
    for (int i = 0; i < commissioning::kDevicesPerPage; ++i) {
        const int device = m_firstDevice + i;
        paintCellFrame(painter, device);
        paintTexts(painter, device);
        paintBadge(painter, device);
    }
    paintLegend(painter);
}

void WiringView::paintBackground(QPainter& painter) const {
    const QRect all(0, 0, commissioning::kWiringWidth, commissioning::kWiringHeight);
    QLinearGradient sky(0, 0, 0, all.height());
    sky.setColorAt(0.0, QColor(234, 239, 244));
    sky.setColorAt(1.0, QColor(204, 215, 226));
    painter.fillRect(all, sky);
}

// A light panel per device with its number and kind in the corner, so an empty device still
// shows where it sits.
void WiringView::paintCellFrame(QPainter& painter, int device) const {
    const CellOrigin at = commissioning::cellOrigin(device);
    const QRect panel = panelRect(at);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // Darker than the grey of an unselected device's texts, so those boxes still stand out.
    painter.setPen(QPen(QColor(110, 128, 146), 1));
    painter.setBrush(kPanelColour);
    painter.drawRoundedRect(QRectF(panel).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    painter.restore();

    QString tag = QStringLiteral("%1#").arg(device);
    // A device the room type does not use shows what it said it is.
    const int answered = m_badges.answeredType(device);
    const int type =
        answered != 0 ? answered : m_room.devices[static_cast<std::size_t>(device)].type;
    if (type != 0) {
        // The catalogue's "1.开关面板" without its number: the number here is the device's.
        QString kind = fromUtf8(std::string(model::deviceTypeName(type)));
        kind = kind.mid(kind.indexOf(QLatin1Char('.')) + 1);
        tag += QStringLiteral(" ") + kind;
    }
    painter.setPen(QColor(35, 45, 55));
    const int left = at.x + kBadgeWidth;
    const QRect tagBox(left, at.y + kBadgeTop, panel.right() - 6 - left, kBadgeSize + 2);
    painter.drawText(tagBox, Qt::AlignRight | Qt::AlignVCenter, tag);
}

// Black text on an opaque box in the colour of the device's selection, as the texts were always
// drawn; an empty key or relay draws nothing at all.
void WiringView::paintTexts(QPainter& painter, int device) const {
    const QFontMetrics metrics(m_font);
    painter.setPen(Qt::black);
    for (const WiringText& text : commissioning::cellTexts(m_room, device)) {
        const QString shown = fromUtf8(text.text);
        const QRect box(text.x, text.y, metrics.horizontalAdvance(shown), kBoxHeight);
        painter.fillRect(box, toColor(text.background));
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    }
}

void WiringView::paintBadge(QPainter& painter, int device) const {
    const Badge badge = m_badges.badge(device);
    if (badge != Badge::None) {
        drawBadge(painter, badgeRect(device), badge, m_badges.fromEarlierRun(device));
    }
}

// A coloured disc with its symbol and a word beside it, in `area`.
// A badge from before the latest run is paler and says "上次".
void WiringView::drawBadge(QPainter& painter, const QRect& area, Badge badge, bool earlier) const {
    BadgeLook look = badgeLook(badge);
    if (earlier) {
        look.colour = look.colour.lighter(160);
        look.label = QStringLiteral("上次") + look.label;
    }
    const QRect disc(area.x(), area.y() + (area.height() - kBadgeSize) / 2, kBadgeSize, kBadgeSize);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(look.colour);
    painter.drawEllipse(disc);
    QFont symbolFont = m_font;
    symbolFont.setBold(true);
    symbolFont.setPixelSize(kBadgeSize - 3);
    symbolFont.setStretch(QFont::Unstretched);
    painter.setFont(symbolFont);
    painter.setPen(Qt::white);
    painter.drawText(disc, Qt::AlignCenter, look.symbol);
    painter.restore();
    painter.setPen(look.colour.darker(115));
    painter.drawText(area.adjusted(kBadgeSize + 5, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     look.label);
}

// What the colours and badges mean, in the free band below the cells.
void WiringView::paintLegend(QPainter& painter) const {
    const QFontMetrics metrics(m_font);
    const int y = kLegendTop;
    int x = commissioning::kCellLeft;
    auto swatch = [&](Rgb colour, const QString& text) {
        const QRect box(x, y, metrics.horizontalAdvance(text) + 8, kBoxHeight);
        painter.fillRect(box, toColor(colour));
        painter.setPen(Qt::black);
        painter.drawText(box, Qt::AlignCenter, text);
        x = box.right() + 8;
    };
    painter.setPen(QColor(60, 72, 85));
    const QString selected = QStringLiteral("选中:");
    painter.drawText(QPoint(x, y + metrics.ascent()), selected);
    x += metrics.horizontalAdvance(selected) + 6;
    swatch(commissioning::kSelectedKeyColour, QStringLiteral("按键"));
    swatch(commissioning::kSelectedPositionColour, QStringLiteral("位置"));
    swatch(commissioning::kSelectedRelayColour, QStringLiteral("继电器"));
    x += 16;
    painter.setPen(QColor(60, 72, 85));
    const QString unselected = QStringLiteral("未选中:");
    painter.drawText(QPoint(x, y + metrics.ascent()), unselected);
    x += metrics.horizontalAdvance(unselected) + 6;
    swatch(commissioning::kUnselectedColour, QStringLiteral("不参与发送"));
    x += 16;
    painter.setPen(QColor(60, 72, 85));
    const QString checked = QStringLiteral("运行结果:");
    painter.drawText(QPoint(x, y + metrics.ascent()), checked);
    x += metrics.horizontalAdvance(checked) + 6;
    const auto badges = [&](int top, std::initializer_list<Badge> list) {
        for (Badge badge : list) {
            const int width = kBadgeSize + 5 + metrics.horizontalAdvance(badgeLook(badge).label);
            drawBadge(painter, QRect(x, top, width, kBoxHeight), badge);
            x += width + 14;
        }
    };
    badges(y, {Badge::Matched, Badge::Read, Badge::Sent, Badge::Differences, Badge::NoAnswer});
    // The scan's marks on a line of their own, under the run results.
    const int scanTop = y + kLegendPitch;
    x = commissioning::kCellLeft;
    painter.setPen(QColor(60, 72, 85));
    const QString scanned = QStringLiteral("扫描总线:");
    painter.drawText(QPoint(x, scanTop + metrics.ascent()), scanned);
    x += metrics.horizontalAdvance(scanned) + 6;
    badges(scanTop, {Badge::Found, Badge::Missing, Badge::Extra, Badge::Slow});
}

}  // namespace room::gui
