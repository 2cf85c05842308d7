#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

// A framed list of radio buttons that behaves as one control with an item index. Click() is
// raised when the user picks an item other than the selected one; SetItemIndex() changes the
// selection without raising it.
class AnalyserRadioGroup : public QGroupBox {
    Q_OBJECT

public:
    AnalyserRadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

    int ItemIndex() const { return index_; }
    void SetItemIndex(int index);
    QRadioButton* Item(int index) const;
    int Count() const;

signals:
    void Click();

private:
    void ItemClicked(int index);

    QButtonGroup* group_ = nullptr;
    int index_ = 0;
};
