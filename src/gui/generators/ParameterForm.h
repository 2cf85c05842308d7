#pragma once

#include <QGroupBox>
#include <QString>

#include <initializer_list>
#include <utility>

class QDialog;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The one form toolkit of the generator and parameter dialogs: a group box of rows (caption,
// field, unit), the dialog's push buttons and the emptying of refused fields.
class ParameterForm {
public:
    // Creates the group with its caption inside parent.
    ParameterForm(QWidget* parent, const QString& groupCaption);

    QGroupBox* Group() const { return group_; }

    // Adds a row with a new edit named name, holding text.
    QLineEdit* AddEdit(const char* name, const QString& caption, const QString& text = QString(),
                       const QString& unit = QString());
    // Adds a row with a field made elsewhere (a list, a label), placed inside the group.
    void AddField(QWidget* field, const QString& caption, const QString& unit = QString());
    // Adds a row whose caption the dialog keeps (a counter's "Sine  #:", a caption it changes).
    void AddField(QWidget* field, QLabel* caption, const QString& unit = QString());
    // A label named name inside the group, for AddField.
    QLabel* Label(const char* name, const QString& text = QString());

private:
    QGroupBox* group_;
    QGridLayout* grid_;
    int rows_ = 0;
};

// A push button named name. Like every button of a dialog it takes Return while it has the
// focus; the dialog's default button (SetOkButton) takes Return from the edit fields.
QPushButton* MakeButton(QWidget* dialog, const char* name, const QString& caption);

enum class FormSize { Free, Fixed };

// Lays out a generator dialog: its groups stacked on the left, its buttons in a column on the
// right; Fixed keeps the dialog at its size.
void PlaceBesideButtons(QDialog* dialog, std::initializer_list<QWidget*> groups,
                        std::initializer_list<QPushButton*> buttons,
                        FormSize size = FormSize::Free);

// Lays out a parameter dialog: its group above a row of buttons on the right.
void PlaceAboveButtons(QDialog* dialog, QWidget* group,
                       std::initializer_list<QPushButton*> buttons);

// Empties every edit that was refused (first: the check failed).
void EmptyRefused(std::initializer_list<std::pair<bool, QLineEdit*>> refused);
