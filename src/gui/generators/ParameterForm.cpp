#include "gui/generators/ParameterForm.h"

#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ParameterForm::ParameterForm(QDialog* dialog, const QString& groupCaption)
    : dialog_(dialog), group_(new QGroupBox(groupCaption, dialog)), grid_(new QGridLayout(group_)) {
}

QLineEdit* ParameterForm::AddEdit(const char* name, const QString& caption, const QString& text,
                                  const QString& unit) {
    auto* edit = new QLineEdit(text, group_);
    edit->setObjectName(QString::fromLatin1(name));
    AddField(edit, caption, unit);
    return edit;
}

void ParameterForm::AddField(QWidget* field, const QString& caption, const QString& unit) {
    field->setParent(group_);
    auto* label = new QLabel(caption, group_);
    label->setBuddy(field);
    grid_->addWidget(label, rows_, 0);
    grid_->addWidget(field, rows_, 1);
    if (!unit.isEmpty()) {
        grid_->addWidget(new QLabel(unit, group_), rows_, 2);
    }
    ++rows_;
}

QPushButton* ParameterForm::AddButton(const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, dialog_);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    buttons_.push_back(button);
    return button;
}

void ParameterForm::Finish(QPushButton* untabbable) {
    if (untabbable != nullptr) {
        untabbable->setFocusPolicy(Qt::ClickFocus);
    }
    auto* column = new QVBoxLayout;
    for (QPushButton* button : buttons_) {
        column->addWidget(button);
    }
    column->addStretch();
    auto* layout = new QHBoxLayout(dialog_);
    layout->addWidget(group_, 1);
    layout->addLayout(column);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void EmptyFailedFields(std::initializer_list<std::pair<bool, QLineEdit*>> checks) {
    for (const auto& [ok, edit] : checks) {
        if (!ok) {
            edit->clear();
        }
    }
}

void PlaceBesideButtons(QDialog* dialog, std::initializer_list<QWidget*> groups,
                        std::initializer_list<QPushButton*> buttons) {
    auto* fieldColumn = new QVBoxLayout;
    for (QWidget* group : groups) {
        fieldColumn->addWidget(group);
    }
    auto* buttonColumn = new QVBoxLayout;
    for (QPushButton* button : buttons) {
        buttonColumn->addWidget(button);
    }
    buttonColumn->addStretch();
    auto* layout = new QHBoxLayout(dialog);
    layout->addLayout(fieldColumn, 1);
    layout->addLayout(buttonColumn);
}
