#include "app/GroupBoxFrame.h"

#include <QGroupBox>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionGroupBox>

namespace kronax {
namespace {

// The frame starts this far below the box's top, so that its line runs through the caption.
constexpr int FrameTop = 6;
constexpr qreal CornerRadius = 2;
// Where the frame's line stops for the caption, the room it leaves on each side of the caption,
// and how far the caption stands above the box's top edge.
constexpr int CaptionLeft = 7;
constexpr int CaptionGap = 3;
constexpr int CaptionRaise = 1;
// Between the frame's top line and the contents.
constexpr int ContentsTop = 10;

} // namespace

QRect GroupBoxFrameStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                         SubControl part, const QWidget* widget) const {
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || !box)
        return QProxyStyle::subControlRect(control, option, part, widget);
    const QRect& whole = option->rect;
    switch (part) {
    case SC_GroupBoxFrame:
        return whole.adjusted(0, FrameTop, 0, 0);
    case SC_GroupBoxLabel:
        return {whole.left() + CaptionLeft, whole.top() - CaptionRaise,
                option->fontMetrics.horizontalAdvance(box->text) + 2 * CaptionGap,
                option->fontMetrics.height()};
    case SC_GroupBoxContents:
        return whole.adjusted(1, FrameTop + 1 + ContentsTop, -1, -1);
    default:
        return {};
    }
}

void GroupBoxFrameStyle::drawComplexControl(ComplexControl control,
                                            const QStyleOptionComplex* option, QPainter* painter,
                                            const QWidget* widget) const {
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || !box) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const QRect caption = subControlRect(control, option, SC_GroupBoxLabel, widget);
    painter->save();
    painter->setClipRegion(QRegion(option->rect).subtracted(caption));
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(option->palette.color(QPalette::Mid));
    const QRectF frame = subControlRect(control, option, SC_GroupBoxFrame, widget);
    painter->drawRoundedRect(frame.adjusted(0.5, 0.5, -0.5, -0.5), CornerRadius, CornerRadius);
    painter->restore();
    proxy()->drawItemText(painter, caption.adjusted(CaptionGap, 0, -CaptionGap, 0),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, option->palette,
                          option->state & State_Enabled, box->text, QPalette::WindowText);
}

void UseGroupBoxFrames(QWidget* window) {
    auto* style = new GroupBoxFrameStyle;
    style->setParent(window);
    for (QGroupBox* box : window->findChildren<QGroupBox*>())
        box->setStyle(style);
}

} // namespace kronax
