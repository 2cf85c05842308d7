#include "gui/analysis/ReadoutGrid.h"

#include <QGridLayout>
#include <QLabel>

ReadoutGrid::ReadoutGrid(QWidget* group) : group_(group), grid_(new QGridLayout(group)) {}

QLabel* ReadoutGrid::Add(const char* name, const QString& caption, const QString& initial) {
    auto* label = new QLabel(caption, group_);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* value = new QLabel(initial, group_);
    value->setObjectName(QString::fromLatin1(name));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid_->addWidget(label, rows_, 0);
    grid_->addWidget(value, rows_, 1);
    ++rows_;
    return value;
}
