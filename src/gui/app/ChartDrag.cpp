#include "gui/app/ChartDrag.h"

#include <QMouseEvent>
#include <QRubberBand>

#include <cstdlib>

ChartDrag::ChartDrag(QWidget* chart) : band_(new QRubberBand(QRubberBand::Rectangle, chart)) {}

bool ChartDrag::Press(const QMouseEvent& event) {
    const QPoint pos = event.position().toPoint();
    if (event.button() == Qt::LeftButton) {
        selecting_ = true;
        anchor_ = pos;
        band_->setGeometry(QRect(pos, QSize()));
        band_->show();
    } else if (event.button() == Qt::RightButton) {
        panning_ = true;
        anchor_ = pos;
        return true;
    }
    return false;
}

std::optional<QPoint> ChartDrag::Move(const QPoint& pos) {
    if (selecting_) {
        band_->setGeometry(QRect(anchor_, pos).normalized());
    } else if (panning_) {
        return anchor_;
    }
    return std::nullopt;
}

ChartDrag::Gesture ChartDrag::Release(const QMouseEvent& event) {
    const QPoint pos = event.position().toPoint();
    if (selecting_ && event.button() == Qt::LeftButton) {
        selecting_ = false;
        band_->hide();
        const int dx = pos.x() - anchor_.x();
        const int dy = pos.y() - anchor_.y();
        if (std::abs(dx) > kMinimumPixels && std::abs(dy) > kMinimumPixels) {
            if (dx > 0 && dy > 0) {
                return {Action::ZoomToRect, QRect(anchor_, pos)};
            }
            return {Action::UndoZoom, QRect()};
        }
    } else if (panning_ && event.button() == Qt::RightButton) {
        panning_ = false;
    }
    return {};
}

void ChartDrag::Cancel() {
    selecting_ = false;
    panning_ = false;
    band_->hide();
}
