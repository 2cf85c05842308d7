#include "gui/analysis/AnalyserRadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

AnalyserRadioGroup::AnalyserRadioGroup(const QString& caption, const QStringList& items,
                                       QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        group_->addButton(button, i);
        layout->addWidget(button);
    }
    layout->addStretch(1);
    SetItemIndex(0);
    connect(group_, &QButtonGroup::idClicked, this, &AnalyserRadioGroup::ItemClicked);
}

void AnalyserRadioGroup::SetItemIndex(int index) {
    if (QAbstractButton* button = group_->button(index)) {
        index_ = index;
        button->setChecked(true);
    }
}

QRadioButton* AnalyserRadioGroup::Item(int index) const {
    return qobject_cast<QRadioButton*>(group_->button(index));
}

int AnalyserRadioGroup::Count() const {
    return static_cast<int>(group_->buttons().size());
}

void AnalyserRadioGroup::ItemClicked(int index) {
    // A click on the item that is already selected changes nothing.
    if (index == index_) {
        return;
    }
    index_ = index;
    emit Click();
}
