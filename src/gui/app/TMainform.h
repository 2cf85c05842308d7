#pragma once

#include "gui/app/DialogFactories.h"
#include "gui/app/PlaybackFolder.h"
#include "gui/app/SignalDocument.h"
#include "gui/app/SoundOutput.h"

#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QCPGraph;
class QFrame;
class QGroupBox;
class QMenu;
class QPushButton;
class QStatusBar;
class QTimer;
class WaveformChart;

namespace zembrel {
class SignalBase;
}

// The program's main window. It holds the one current signal and the temporary playback file
// that always holds the signal's last committed state in its SignalDocument, shows the
// waveform (redrawn whenever the document commits), plays the file and opens every generator,
// parameter and analysis dialog modally.
//
// Dialogs reach the window through the public operations below: the document (to commit or
// restore the signal), ShowSignal, ArrangeCharts, the status text, the GroupBox1 caption and
// StopPlayback. The child widgets are public under their established names for the same reason;
// they are owned by their Qt parents.
class TMainform : public QMainWindow {
    Q_OBJECT

public:
    explicit TMainform(DialogFactories dialogs = InstalledDialogs(), QWidget* parent = nullptr);
    ~TMainform() override;

    // --- operations for dialogs ---

    // Redraws both charts from signal: amplitude range of its bit depth, time range 0 to its
    // Duration, every sample up to 10 s and every tenth sample above.
    void ShowSignal(const zembrel::SignalBase* signal);
    // Lays out the group box, the charts and the button groups for the channel count of the
    // current signal and sets the amplitude axis titles.
    void ArrangeCharts();

    void SetStatusText(const QString& text);
    QString StatusText() const;
    void SetGroupCaption(const QString& caption);
    QString GroupCaption() const;

    // The owner of the current signal and of the playback file; every change of the signal is
    // one of its commits or restores.
    SignalDocument& Document() const { return *document_; }
    zembrel::SignalBase* Signal() const { return document_->Signal(); }
    QString TempFileName() const { return document_->TempFileName(); }
    QString AppDirectory() const { return appDirectory_; }
    int SoundDevices() const { return soundDevices_; }
    bool Ready() const { return ready_; }

    // Silences any playback; the timer and the status text stay as they are.
    void StopPlayback();
    const SoundOutput& Sound() const { return sound_; }

    // What the Save dialog gives back: the chosen name (empty when the user cancels) and
    // whether it was chosen under "Raw Data files (*.dat)", a format that is not written.
    struct SaveChoice {
        SaveChoice(QString fileName = QString(), bool rawData = false)
            : FileName(std::move(fileName)), RawData(rawData) {}
        QString FileName;
        bool RawData;
    };

    // The file dialogs of Open and Save. Open returns the chosen name, or an empty string when
    // the user cancels; replaceable so the commands can run without a real dialog. Both open
    // in the folder last used for WAV files.
    std::function<QString()> OpenDialog1;
    std::function<SaveChoice()> SaveDialog1;

    // The dialog behind each menu item; items without one are disabled.
    void SetDialogs(DialogFactories dialogs);

    // --- menu commands ---
    void New1Click();
    // Runs OpenDialog1 and opens the chosen file with OpenFile.
    void Open1Click();
    // Opens fileName as File Open does, whether it was chosen in the Open dialog, named on the
    // command line or dropped on the window: playback stops; a name not ending in ".wav" or a
    // file that cannot be read is refused with a message and changes nothing; else the file
    // becomes the current signal, the playback file and the view, and the caption names it.
    void OpenFile(const QString& fileName);
    void Save1Click();
    void Exit1Click();
    void SineClick();
    void FunctionGenClick();
    void AmplitudeModulationClick();
    void FrequencyModulationClick();
    void FrequencySweepClick();
    void SynchronizedSweepClick();
    void SinepnphaseClick();
    void BandNoiseClick();
    void PinkNoiseClick();
    void Aes17ToneClick();
    void TwinToneClick();
    void MultitoneClick();
    void Frequency1Click();
    void Statistics1Click();
    void Distortion1Click();
    void SweepResponse1Click();
    void ShowParameters1Click();
    void AboutZembrel1Click();
    // Shows the user guide (UserGuideWindow), or says that it is not installed.
    void UserGuide1Click();

    // --- playback ---
    void BPlayClick();
    void BPlayLoopClick();
    void BStopPlayingClick();
    void Timer1Timer();

    // --- waveform view ---
    void ChartZoom();
    void BZoomInClick();
    void BZoomOutClick();
    void BZoomOutFullClick();
    void BScrollLeftClick();
    void BScrollRightClick();

    // --- components ---
    QMenu* File1 = nullptr;
    QAction* New1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* Generator1 = nullptr;
    QAction* Sine = nullptr;
    QMenu* Function = nullptr;
    QAction* FunctionGen = nullptr;
    QAction* AmplitudeModulation = nullptr;
    QAction* FrequencyModulation = nullptr;
    QAction* FrequencySweep = nullptr;
    QAction* SynchronizedSweep = nullptr;
    QMenu* Noise = nullptr;
    QAction* Sinepnphase = nullptr;
    QAction* BandNoise = nullptr;
    QAction* PinkNoise = nullptr;
    QMenu* TestTones = nullptr;
    QAction* Aes17Tone = nullptr;
    QAction* TwinTone = nullptr;
    QAction* Multitone = nullptr;
    QMenu* Analyser1 = nullptr;
    QAction* Frequency1 = nullptr;
    QAction* Statistics1 = nullptr;
    QAction* Distortion1 = nullptr;
    QAction* SweepResponse1 = nullptr;
    QMenu* Parameters1 = nullptr;
    QAction* ShowParameters1 = nullptr;
    QMenu* Info1 = nullptr;
    QAction* AboutZembrel1 = nullptr;
    QAction* UserGuide1 = nullptr;

    QStatusBar* StatusBar1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    WaveformChart* Chart1 = nullptr;
    WaveformChart* Chart2 = nullptr;
    QCPGraph* LineSeries1 = nullptr;
    QCPGraph* LineSeries2 = nullptr;
    QGroupBox* GAudioControl = nullptr;
    QPushButton* BPlay = nullptr;
    QPushButton* BPlayLoop = nullptr;
    QPushButton* BStopPlaying = nullptr;
    QGroupBox* GWaveformControl = nullptr;
    QPushButton* BZoomIn = nullptr;
    QPushButton* BZoomOut = nullptr;
    QPushButton* BZoomOutFull = nullptr;
    QPushButton* BScrollLeft = nullptr;
    QPushButton* BScrollRight = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A drag that carries one local WAV file is taken as a copy and opened with OpenFile; any
    // other drag is refused, and the status line says why.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildMenu();
    void BuildView();
    void BuildButtons();
    void FormResize();
    void PlaceChartsMono(int clientWidth, int clientHeight);
    // The charts that show the current signal: Chart1 for mono, both for stereo, none else.
    std::vector<WaveformChart*> ShownCharts() const;
    void RunGeneratorDialog(const GeneratorDialogFactory& factory);
    void RunAnalyserDialog(const AnalyserDialogFactory& factory);
    void PlayTempFile(bool loop);
    void ReportPlaybackFailure(const QString& reason);
    QString ChooseOpenFile();
    SaveChoice ChooseSaveFile();

    int soundDevices_ = 0;
    bool ready_ = false;
    QString appDirectory_;

    std::unique_ptr<PlaybackFolder> playbackFolder_;
    std::unique_ptr<SignalDocument> document_;
    SoundOutput sound_;
    DialogFactories dialogs_;
    QWidget* client_ = nullptr;
};
