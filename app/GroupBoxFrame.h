#pragma once

#include <QProxyStyle>

class QWidget;

namespace kronax {

// The window's group boxes as the classic dialog draws them: a thin frame in the palette's mid
// colour whose top line runs through the caption, the caption near the left. Drawn by a style of
// their own rather than a style sheet, which would route every control of the window through
// the far slower style-sheet style.
class GroupBoxFrameStyle : public QProxyStyle {
public:
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;
};

// Gives every group box within window the frame above; the style belongs to window.
void UseGroupBoxFrames(QWidget* window);

} // namespace kronax
