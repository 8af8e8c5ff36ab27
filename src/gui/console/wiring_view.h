#pragma once
// The painted wiring view of a switch-panel page: 4 x 4 cells of 16 devices on a 1396 x 895
// drawing, each with its key texts, its mounting position and its relay texts in the colours of
// its selection, and the result badge of the last verify all or read all below them.
// It reads the room type on every paint and keeps none of it.
//
// Everything is drawn in the drawing's own coordinates; the view scales the drawing to the space
// it has (keeping its proportions), so a laptop screen shows all 16 cells beside the controls.

#include <QFont>
#include <QImage>
#include <QTransform>
#include <QWidget>

#include "core/commissioning/wiring_cells.h"
#include "core/model/room_type.h"

namespace room::gui {

class WiringView : public QWidget {
    Q_OBJECT

public:
    WiringView(const model::RoomTypeConfig& room, int firstDevice,
               const commissioning::ResultBadges& badges, QWidget* parent = nullptr);

    int firstDevice() const { return m_firstDevice; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The drawing at its own size, one pixel per drawing unit.
    QImage drawing() const;
    // From drawing coordinates to the view's, as the view shows the drawing now.
    QTransform toView() const;
    // The part of the drawing the view shows, in drawing coordinates.
    static QRect drawnArea();

    // "宋体" 15 pixels high and 8 wide; elsewhere the nearest Chinese font, narrowed to 8.
    static QFont wiringFont();
    // The box a cell's badge occupies, in view coordinates.
    static QRect badgeRect(int device);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintDrawing(QPainter& painter) const;
    void paintBackground(QPainter& painter) const;
    void paintCellFrame(QPainter& painter, int device) const;
    void paintTexts(QPainter& painter, int device) const;
    void paintBadge(QPainter& painter, int device) const;
    void drawBadge(QPainter& painter, const QRect& area, commissioning::Badge badge,
                   bool earlier = false) const;
    void paintLegend(QPainter& painter) const;

    const model::RoomTypeConfig& m_room;
    const int m_firstDevice;
    const commissioning::ResultBadges& m_badges;
    const QFont m_font;
};

}  // namespace room::gui
