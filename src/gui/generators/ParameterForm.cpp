#include "gui/generators/ParameterForm.h"

#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ParameterForm::ParameterForm(QWidget* parent, const QString& groupCaption)
    : group_(new QGroupBox(groupCaption, parent)), grid_(new QGridLayout(group_)) {}

QLineEdit* ParameterForm::AddEdit(const char* name, const QString& caption, const QString& text,
                                  const QString& unit) {
    auto* edit = new QLineEdit(text, group_);
    edit->setObjectName(QString::fromLatin1(name));
    AddField(edit, caption, unit);
    return edit;
}

QLabel* ParameterForm::Label(const char* name, const QString& text) {
    auto* label = new QLabel(text, group_);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

void ParameterForm::AddField(QWidget* field, const QString& caption, const QString& unit) {
    AddField(field, new QLabel(caption, group_), unit);
}

void ParameterForm::AddField(QWidget* field, QLabel* caption, const QString& unit) {
    field->setParent(group_);
    caption->setParent(group_);
    caption->setBuddy(field);
    grid_->addWidget(caption, rows_, 0);
    grid_->addWidget(field, rows_, 1);
    if (!unit.isEmpty()) {
        grid_->addWidget(new QLabel(unit, group_), rows_, 2);
    }
    ++rows_;
}

QPushButton* MakeButton(QWidget* dialog, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, dialog);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

void PlaceBesideButtons(QDialog* dialog, std::initializer_list<QWidget*> groups,
                        std::initializer_list<QPushButton*> buttons, FormSize size) {
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
    if (size == FormSize::Fixed) {
        layout->setSizeConstraint(QLayout::SetFixedSize);
    }
}

void PlaceAboveButtons(QDialog* dialog, QWidget* group,
                       std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* button : buttons) {
        row->addWidget(button);
    }
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(group);
    layout->addLayout(row);
}

void EmptyRefused(std::initializer_list<std::pair<bool, QLineEdit*>> refused) {
    for (const auto& [bad, edit] : refused) {
        if (bad) {
            edit->clear();
        }
    }
}
