#pragma once

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include <initializer_list>
#include <utility>

// The small pieces the three noise dialogs build their forms from.
namespace noisedialog {

inline QLineEdit* Edit(QWidget* parent, const char* name, const QString& text = QString()) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

// Return in an edit field must not press a button by itself.
inline QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

// One row of a grid: caption, field, unit.
inline void Row(QGridLayout* grid, const QString& caption, QWidget* field, const QString& unit) {
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(caption), row, 0);
    grid->addWidget(field, row, 1);
    if (!unit.isEmpty()) {
        grid->addWidget(new QLabel(unit), row, 2);
    }
}

// true when any check failed (first: the value is invalid).
inline bool AnyInvalid(std::initializer_list<std::pair<bool, QLineEdit*>> checks) {
    for (const auto& [bad, edit] : checks) {
        if (bad) {
            return true;
        }
    }
    return false;
}

// Empties every edit whose value was invalid.
inline void EmptyInvalid(std::initializer_list<std::pair<bool, QLineEdit*>> checks) {
    for (const auto& [bad, edit] : checks) {
        if (bad) {
            edit->clear();
        }
    }
}

} // namespace noisedialog
