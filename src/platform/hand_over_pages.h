#pragma once
// The hand-over PDF's pages, laid out on a PageFlow: the summary (totals, per floor, per room
// type, the rooms not verified) and each room's pages (its facts, a row per device, its history
// and the signature block).

#include <QFont>
#include <functional>

#include "platform/hand_over.h"
#include "platform/page_flow.h"

namespace room::platform::hand_over {

struct Fonts {
    QFont title;
    QFont heading;
    QFont body;
    QFont bold;
    QFont table;
    QFont tableBold;
    QFont head;  // the line every page opens with
    QFont signature;
};
Fonts reportFonts();

inline const QColor kGood(0x1a, 0x7f, 0x37);
inline const QColor kBad(0xb4, 0x23, 0x18);
// Green for verified, black for what is not done yet, red for what needs someone to go back.
QColor stateColour(records::RoomState state);

std::function<void(PageFlow&)> summaryHead(const QString& hotel, const Fonts& fonts);
void layOutSummary(PageFlow& flow, const ReportJob& job, const Fonts& fonts);

std::function<void(PageFlow&)> roomHead(const RoomStatus& room, const QString& hotel,
                                        const Fonts& fonts);
void layOutRoom(PageFlow& flow, const ReportRoom& room, const Fonts& fonts);

}  // namespace room::platform::hand_over
