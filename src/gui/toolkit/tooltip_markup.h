#pragma once
// The tooltip markup of the toolbar ("<b>", "<br>", "<ct=0x0000FF>", "<al_c>", "<hr=100%>", with
// closing tags) turned into Qt rich text, which QToolTip and QLabel render directly.
//
// Colours in the markup are written like HTML colours, 0xRRGGBB: "<ct=0x0000FF>" is blue. A closing
// tag restores the style that was in force when its opening tag was met, as the markup intends:
// "<b><ct=...><al_c>title</b>" leaves no colour or alignment behind.

#include <QString>

namespace room::gui {

QString tooltipRichText(const QString& markup);

// The toolbar's markup: a bold blue centred title, a green full-width rule and the description.
QString toolbarTooltipMarkup(const QString& title, const QString& description);

}  // namespace room::gui
