#include "gui/toolkit/tooltip_markup.h"

#include <QColor>
#include <QList>
#include <QStringList>

namespace room::gui {

namespace {

struct Style {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QString color;  // "#rrggbb", empty for the tooltip's own text colour
    QString align = QStringLiteral("left");
};

struct Line {
    QString align = QStringLiteral("left");
    QString html;
    QString rule;  // a horizontal rule line carries only this
};

// 0xRRGGBB, or a colour name Qt knows.
QString colorValue(const QString& text) {
    bool ok = false;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        const uint rgb = text.mid(2).toUInt(&ok, 16);
        return ok ? QColor::fromRgb(rgb & 0xFFFFFF).name() : QString();
    }
    const QColor named = QColor::fromString(text);
    return named.isValid() ? named.name() : QString();
}

QString styledRun(const QString& text, const Style& style) {
    QStringList css;
    if (style.bold) css << QStringLiteral("font-weight:bold");
    if (style.italic) css << QStringLiteral("font-style:italic");
    if (style.underline) css << QStringLiteral("text-decoration:underline");
    if (!style.color.isEmpty()) css << QStringLiteral("color:") + style.color;
    const QString escaped = text.toHtmlEscaped();
    if (css.isEmpty()) return escaped;
    return QStringLiteral("<span style=\"%1\">%2</span>").arg(css.join(u';'), escaped);
}

class Converter {
public:
    QString convert(const QString& markup);

private:
    void tag(const QString& body);
    void open(const QString& name) { m_stack.append({name, m_style}); }
    void close(const QString& name);
    void newLine();
    void rule(const QString& width);

    Style m_style;
    QList<QPair<QString, Style>> m_stack;
    QList<Line> m_lines{Line{}};
};

void Converter::close(const QString& name) {
    for (qsizetype i = m_stack.size() - 1; i >= 0; --i) {
        if (m_stack[i].first != name) continue;
        m_style = m_stack[i].second;
        m_stack.resize(i);
        return;
    }
}

void Converter::newLine() {
    m_lines.append(Line{m_style.align, {}, {}});
}

void Converter::rule(const QString& width) {
    const QString color = m_style.color.isEmpty() ? QStringLiteral("#808080") : m_style.color;
    if (!m_lines.last().html.isEmpty() || !m_lines.last().rule.isEmpty()) newLine();
    // A one-cell table with a coloured top border: Qt draws <hr> in the text colour only.
    m_lines.last().rule =
        QStringLiteral(
            "<table width=\"%1\" cellspacing=\"0\" cellpadding=\"0\" "
            "style=\"border-collapse:collapse\"><tr><td style=\"border-top:2px solid "
            "%2;font-size:1px\">&nbsp;</td></tr></table>")
            .arg(width.isEmpty() ? QStringLiteral("100%") : width, color);
}

void Converter::tag(const QString& body) {
    const QString lower = body.trimmed().toLower();
    const qsizetype eq = lower.indexOf(u'=');
    const QString name = eq < 0 ? lower : lower.left(eq);
    const QString value = eq < 0 ? QString() : body.trimmed().mid(eq + 1);
    if (name == QLatin1String("br")) {
        newLine();
    } else if (name.startsWith(u'/')) {
        close(name.mid(1));
    } else if (name == QLatin1String("b") || name == QLatin1String("i") ||
               name == QLatin1String("u")) {
        open(name);
        (name == QLatin1String("b")   ? m_style.bold
         : name == QLatin1String("i") ? m_style.italic
                                      : m_style.underline) = true;
    } else if (name == QLatin1String("ct")) {
        open(name);
        m_style.color = colorValue(value);
    } else if (name.startsWith(QLatin1String("al_"))) {
        open(name);
        const QString side = name.mid(3);
        m_style.align = side == QLatin1String("c")   ? QStringLiteral("center")
                        : side == QLatin1String("r") ? QStringLiteral("right")
                                                     : QStringLiteral("left");
        m_lines.last().align = m_style.align;
    } else if (name == QLatin1String("hr")) {
        rule(value);
    }
    // Tags this program does not use are dropped rather than shown as text.
}

QString Converter::convert(const QString& markup) {
    qsizetype pos = 0;
    while (pos < markup.size()) {
        const qsizetype lt = markup.indexOf(u'<', pos);
        const qsizetype gt = lt < 0 ? -1 : markup.indexOf(u'>', lt);
        const qsizetype textEnd = gt < 0 ? markup.size() : lt;
        if (textEnd > pos)
            m_lines.last().html += styledRun(markup.mid(pos, textEnd - pos), m_style);
        if (gt < 0) break;
        tag(markup.mid(lt + 1, gt - lt - 1));
        pos = gt + 1;
    }
    QString html = QStringLiteral("<html><body style=\"white-space:nowrap\">");
    for (const Line& line : m_lines) {
        if (!line.rule.isEmpty()) {
            html += line.rule;
            continue;
        }
        html += QStringLiteral("<p align=\"%1\" style=\"margin:0\">%2</p>")
                    .arg(line.align, line.html.isEmpty() ? QStringLiteral("&nbsp;") : line.html);
    }
    return html + QStringLiteral("</body></html>");
}

}  // namespace

QString tooltipRichText(const QString& markup) {
    return Converter().convert(markup);
}

QString toolbarTooltipMarkup(const QString& title, const QString& description) {
    return QStringLiteral("<b><ct=0x0000FF><al_c>") + title +
           QStringLiteral("</b><br><ct=0x00AA00><hr=100%></ct><br>") + description;
}

}  // namespace room::gui
