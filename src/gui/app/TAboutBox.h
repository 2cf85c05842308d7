#pragma once

#include <QDialog>

// The modal About box: program name, version and a one-line description.
class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* parent = nullptr);
};
