#pragma once

#include "gui/generators/GeneratorDialog.h"

#include <functional>

class QEventLoop;
class QLabel;
class QLineEdit;
class QPushButton;

// "White Noise Generator": band-limited white noise as bands of equally spaced sines with
// pseudo-random phases. Each band is computed by its own noise worker while the dialog stays
// responsive; "OK" computes the band in the fields and then scales the sum of all bands to the
// level. "Import..." computes a list of bands one after another.
class TFDlgBandNoiseGen : public GeneratorDialog {
    Q_OBJECT

public:
    TFDlgBandNoiseGen(QWidget* owner, QString tempFileName, TMainform* mainform,
                      zembrel::SignalBase* signal);

    // Shared with the pink-noise dialog.
    static const QString ErrorText;

    void BAddBandClick();
    void BOKClick();
    void BImportClick();
    void BCancelClick();
    void DeleteThread() override;

    // The import file chooser; returns an empty string when the user cancels. Replaceable so
    // the import runs without a real file dialog.
    std::function<QString()> OpenDialog1;

    int BandCount() const { return counter_; }

    QLabel* Label11 = nullptr;
    QLabel* LNumBand = nullptr;
    QLineEdit* f_start = nullptr;
    QLineEdit* f_stop = nullptr;
    QLineEdit* step = nullptr;
    QLineEdit* ampl = nullptr;
    QLineEdit* PhaseOffset = nullptr;
    QLineEdit* lev = nullptr;
    QPushButton* BAddBand = nullptr;
    QPushButton* BImport = nullptr;
    QPushButton* BOK = nullptr;
    QPushButton* BCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Reads the band fields (and the level when withLevel), checks them, and on failure shows
    // the error text and empties every field in error. True when all are valid.
    bool ReadBand(bool withLevel);
    // Starts a noise worker for one band; DeleteThread follows when it has ended.
    void StartBand(double start, double stop, double stepSize, double amplitude, double offset,
                   bool finalBand);
    int counter_ = 1;
    bool finalBand_ = false; // true while the band started by OK is computed
    double amplitude_ = 0.0;
    double start_ = 0.0;               // Hz
    double stop_ = 0.0;                // Hz
    double step_ = 0.0;                // Hz
    double level_ = 0.0;               // dB
    double offset_ = 0.0;              // degrees
    QEventLoop* importWait_ = nullptr; // the import's wait for its current band
    bool bandAborted_ = false;
};
