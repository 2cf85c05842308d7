#pragma once

#include <QString>

class QGridLayout;
class QLabel;
class QWidget;

// Rows of "caption: value" in a group of a readings window: the caption right-aligned, the value
// a selectable label named for the tests and the window's code.
class ReadoutGrid {
public:
    explicit ReadoutGrid(QWidget* group);

    // A new row; returns its value label, showing initial.
    QLabel* Add(const char* name, const QString& caption, const QString& initial = QString());
    QGridLayout* Layout() const { return grid_; }
    int Rows() const { return rows_; }

private:
    QWidget* group_;
    QGridLayout* grid_;
    int rows_ = 0;
};
