#pragma once

#include <QPoint>
#include <QRect>

#include <optional>

class QMouseEvent;
class QRubberBand;
class QWidget;

// The mouse gestures the charts share. The left button draws a selection rectangle; released
// more than kMinimumPixels across and down from upper left to lower right it asks for a zoom to
// that rectangle, released as far in any other direction for the zoom to be undone, otherwise
// for nothing. The right button pans: the chart moves its ranges by the mouse's distance from
// the anchor, which is the press point until the chart moves it.
class ChartDrag {
public:
    static constexpr int kMinimumPixels = 16;

    enum class Action { None, ZoomToRect, UndoZoom };
    struct Gesture {
        Action action = Action::None;
        QRect rect; // for ZoomToRect, in the chart's pixels
    };

    explicit ChartDrag(QWidget* chart);

    // Starts a selection (left button) or a pan (right button); true when a pan starts.
    bool Press(const QMouseEvent& event);
    // The rectangle follows the mouse; while panning, the anchor to pan from.
    std::optional<QPoint> Move(const QPoint& pos);
    void MoveAnchor(const QPoint& pos) { anchor_ = pos; }
    // Ends the gesture of the released button.
    Gesture Release(const QMouseEvent& event);
    // Drops any gesture under way.
    void Cancel();

private:
    QRubberBand* band_;
    QPoint anchor_;
    bool selecting_ = false;
    bool panning_ = false;
};
