#pragma once

#include <QString>

#include <initializer_list>
#include <utility>
#include <vector>

class QDialog;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QWidget;

// The layout the modulation generator dialogs share: one group of parameter rows (caption,
// field, unit) beside a column of buttons, at a fixed size.
class ParameterForm {
public:
    // Creates the group with its caption inside dialog.
    ParameterForm(QDialog* dialog, const QString& groupCaption);

    QGroupBox* Group() const { return group_; }

    // Adds a row with a new edit named name, holding text.
    QLineEdit* AddEdit(const char* name, const QString& caption, const QString& text,
                       const QString& unit);
    // Adds a row with a field made elsewhere (a list, say), placed inside the group.
    void AddField(QWidget* field, const QString& caption, const QString& unit = QString());

    // A push button named name that Return does not press by itself.
    QPushButton* AddButton(const char* name, const QString& caption);

    // Puts the group and the buttons into the dialog and fixes its size. A Cancel button that
    // the Tab key must not reach is passed as untabbable.
    void Finish(QPushButton* untabbable);

private:
    QDialog* dialog_;
    QGroupBox* group_;
    QGridLayout* grid_;
    int rows_ = 0;
    std::vector<QPushButton*> buttons_;
};

// Lays out a generator dialog: its groups stacked on the left, its buttons in a column on the
// right.
void PlaceBesideButtons(QDialog* dialog, std::initializer_list<QWidget*> groups,
                        std::initializer_list<QPushButton*> buttons);

// Empties every edit whose check failed (first: the value was acceptable).
void EmptyFailedFields(std::initializer_list<std::pair<bool, QLineEdit*>> checks);
