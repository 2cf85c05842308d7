#include "gui/app/TMainform.h"

#include "gui/app/ButtonIcons.h"
#include "gui/app/FileDialogFolder.h"
#include "gui/app/LocalPath.h"
#include "gui/app/SlotGuard.h"
#include "gui/app/TAboutBox.h"
#include "gui/app/UserGuideWindow.h"
#include "gui/app/WaveformChart.h"

#include "core/FailureText.h"
#include "core/signal/AudioFileRead.h"
#include "core/signal/SignalBase.h"
#include "core/signal/WavError.h"
#include "core/signal/WavFileRead.h"
#include "core/signal/WavFileWrite.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>

#include <new>

using zembrel::SignalBase;

namespace {

const QString kCaption = QStringLiteral("Zembrel V" ZEMBREL_VERSION);

// A name is taken as a WAV file when it ends in ".wav" in any letter case.
bool IsWavName(const QString& fileName) {
    return QFileInfo(fileName).fileName().endsWith(QStringLiteral(".wav"), Qt::CaseInsensitive);
}

// The file a drag carries when it is exactly one local file named *.wav, else an empty string.
QString DraggedWavFile(const QMimeData* data) {
    const QList<QUrl> urls = data != nullptr ? data->urls() : QList<QUrl>();
    if (urls.size() != 1 || !urls[0].isLocalFile() || !IsWavName(urls[0].toLocalFile())) {
        return QString();
    }
    return urls[0].toLocalFile();
}

// Why a drag that DraggedWavFile refuses cannot be opened, for the status line.
QString RefusedDrag(const QMimeData* data) {
    const QList<QUrl> urls = data != nullptr ? data->urls() : QList<QUrl>();
    if (!DraggedWavFile(data).isEmpty()) { // offered only to be moved or linked
        return QStringLiteral("%1 can only be dropped as a copy.")
            .arg(QFileInfo(urls[0].toLocalFile()).fileName());
    }
    if (urls.size() > 1) {
        return QStringLiteral("Only one file can be dropped here at a time.");
    }
    if (urls.size() == 1 && urls[0].isLocalFile()) {
        return QStringLiteral("%1 is no WAV file (*.wav) and cannot be opened.")
            .arg(QFileInfo(urls[0].toLocalFile()).fileName());
    }
    if (urls.size() == 1) {
        return QStringLiteral("Only a file on this computer can be dropped here.");
    }
    return QStringLiteral("Only a WAV file (*.wav) can be dropped here.");
}

// Accepts a drag of one WAV file as a copy, whatever the user proposed: a move would let the
// program the file came from delete it once the drop is done.
bool AcceptAsCopy(QDropEvent* event) {
    if (DraggedWavFile(event->mimeData()).isEmpty() ||
        !(event->possibleActions() & Qt::CopyAction)) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

} // namespace

TMainform::TMainform(DialogFactories dialogs, QWidget* parent)
    : QMainWindow(parent), dialogs_(std::move(dialogs)) {
    ready_ = false;
    setWindowTitle(kCaption);
    setWindowIcon(ProgramIcon());
    setAcceptDrops(true);
    BuildMenu();
    BuildView();
    BuildButtons();
    SetDialogs(dialogs_);
    OpenDialog1 = [this] { return ChooseOpenFile(); };
    SaveDialog1 = [this] { return ChooseSaveFile(); };

    // Queued: the message waits until the sound output's own handler has returned.
    connect(&sound_, &SoundOutput::Failed, this, &TMainform::ReportPlaybackFailure,
            Qt::QueuedConnection);

    soundDevices_ = SoundOutput::DeviceCount();
    if (soundDevices_ == 0) {
        QMessageBox::information(this, kCaption, QStringLiteral("No sounddevice installed"));
    }

    playbackFolder_ = std::make_unique<PlaybackFolder>();
    document_ = std::make_unique<SignalDocument>(playbackFolder_->FilePath());
    connect(document_.get(), &SignalDocument::Changed, this, [this](const SignalBase* signal) {
        ShowSignal(signal);
        ArrangeCharts();
    });
    connect(document_.get(), &SignalDocument::StatusSet, this, &TMainform::SetStatusText);
    connect(document_.get(), &SignalDocument::CaptionSet, this, &TMainform::SetGroupCaption);

    // Relative names in the file dialogs start from the program's own folder.
    appDirectory_ = QCoreApplication::applicationDirPath();
    QDir::setCurrent(appDirectory_);

    // The start-up signal: 1.0 s of silence, 44100 Hz, 16 bit, mono.
    document_->Commit(SignalBase(44100.0, 1.0, 16, 32768, 1), {}, this);

    resize(800, 600);
    if (const QScreen* screen = this->screen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    ready_ = true;
}

TMainform::~TMainform() {
    ready_ = false;
    sound_.Stop();
    Chart1->ClearPoints();
    Chart2->ClearPoints();
    // Failure to delete is of no consequence at this point; the folder goes with the file.
    QFile::remove(document_->TempFileName());
    playbackFolder_->Remove();
    document_.reset();
}

void TMainform::BuildMenu() {
    // Captions carry an & before their mnemonic letter (Alt+F, then N ...); the letter is
    // shown underlined and is not part of the caption's text.
    QMenuBar* bar = menuBar();
    auto item = [this](QMenu* menu, QAction*& action, const QString& caption,
                       void (TMainform::*handler)()) {
        action = menu->addAction(caption);
        connect(action, &QAction::triggered, this,
                Guarded(this, [this, handler] { (this->*handler)(); }));
    };

    File1 = bar->addMenu(QStringLiteral("&File"));
    item(File1, New1, QStringLiteral("&New"), &TMainform::New1Click);
    item(File1, Open1, QStringLiteral("&Open..."), &TMainform::Open1Click);
    item(File1, Save1, QStringLiteral("&Save..."), &TMainform::Save1Click);
    File1->addSeparator();
    item(File1, Exit1, QStringLiteral("E&xit"), &TMainform::Exit1Click);
    New1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    Open1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Save1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    Generator1 = bar->addMenu(QStringLiteral("&Generator"));
    item(Generator1, Sine, QStringLiteral("&Sine..."), &TMainform::SineClick);
    Function = Generator1->addMenu(QStringLiteral("&Function"));
    item(Function, FunctionGen, QStringLiteral("&Square / Triangle / Sawtooth..."),
         &TMainform::FunctionGenClick);
    item(Function, AmplitudeModulation, QStringLiteral("&Amplitude Modulation..."),
         &TMainform::AmplitudeModulationClick);
    item(Function, FrequencyModulation, QStringLiteral("Frequency &Modulation..."),
         &TMainform::FrequencyModulationClick);
    item(Function, FrequencySweep, QStringLiteral("Frequency S&weep..."),
         &TMainform::FrequencySweepClick);
    item(Function, SynchronizedSweep, QStringLiteral("S&ynchronized Sweep..."),
         &TMainform::SynchronizedSweepClick);
    Noise = Generator1->addMenu(QStringLiteral("&Noise"));
    item(Noise, Sinepnphase, QStringLiteral("&Sine with pn-phase..."),
         &TMainform::SinepnphaseClick);
    item(Noise, BandNoise, QStringLiteral("&White Noise..."), &TMainform::BandNoiseClick);
    item(Noise, PinkNoise, QStringLiteral("&Pink Noise..."), &TMainform::PinkNoiseClick);
    TestTones = Generator1->addMenu(QStringLiteral("&Test Tones"));
    item(TestTones, Aes17Tone, QStringLiteral("&AES17 997 Hz..."), &TMainform::Aes17ToneClick);
    item(TestTones, TwinTone, QStringLiteral("&Twin Tone (IMD)..."), &TMainform::TwinToneClick);
    item(TestTones, Multitone, QStringLiteral("&Multitone..."), &TMainform::MultitoneClick);

    Analyser1 = bar->addMenu(QStringLiteral("&Analyser"));
    item(Analyser1, Frequency1, QStringLiteral("&Frequency..."), &TMainform::Frequency1Click);
    item(Analyser1, Statistics1, QStringLiteral("&Statistics..."), &TMainform::Statistics1Click);
    item(Analyser1, Distortion1, QStringLiteral("&Distortion..."), &TMainform::Distortion1Click);
    item(Analyser1, SweepResponse1, QStringLiteral("Sweep &Response..."),
         &TMainform::SweepResponse1Click);

    Parameters1 = bar->addMenu(QStringLiteral("&Parameters"));
    item(Parameters1, ShowParameters1, QStringLiteral("&Signal Parameters..."),
         &TMainform::ShowParameters1Click);

    Info1 = bar->addMenu(QStringLiteral("&Info"));
    item(Info1, AboutZembrel1, QStringLiteral("&About Zembrel..."), &TMainform::AboutZembrel1Click);
    item(Info1, UserGuide1, QStringLiteral("&User Guide"), &TMainform::UserGuide1Click);
    UserGuide1->setShortcut(QKeySequence::HelpContents); // F1
}

void TMainform::SetDialogs(DialogFactories dialogs) {
    dialogs_ = std::move(dialogs);
    Sine->setEnabled(bool(dialogs_.Sine));
    FunctionGen->setEnabled(bool(dialogs_.FunctionGen));
    AmplitudeModulation->setEnabled(bool(dialogs_.AmplitudeModulation));
    FrequencyModulation->setEnabled(bool(dialogs_.FrequencyModulation));
    FrequencySweep->setEnabled(bool(dialogs_.FrequencySweep));
    SynchronizedSweep->setEnabled(bool(dialogs_.SynchronizedSweep));
    Sinepnphase->setEnabled(bool(dialogs_.Sinepnphase));
    BandNoise->setEnabled(bool(dialogs_.BandNoise));
    PinkNoise->setEnabled(bool(dialogs_.PinkNoise));
    Aes17Tone->setEnabled(bool(dialogs_.Aes17Tone));
    TwinTone->setEnabled(bool(dialogs_.TwinTone));
    Multitone->setEnabled(bool(dialogs_.Multitone));
    Frequency1->setEnabled(bool(dialogs_.Frequency1));
    Statistics1->setEnabled(bool(dialogs_.Statistics1));
    Distortion1->setEnabled(bool(dialogs_.Distortion1));
    SweepResponse1->setEnabled(bool(dialogs_.SweepResponse1));
    ShowParameters1->setEnabled(bool(dialogs_.ShowParameters1));
}

bool TMainform::event(QEvent* event) {
    // Hovering a menu item would otherwise blank the status line (the items carry no status
    // tips), and the line must keep the last result until the next one.
    if (event->type() == QEvent::StatusTip) {
        return true;
    }
    return QMainWindow::event(event);
}

void TMainform::SetStatusText(const QString& text) {
    StatusBar1->showMessage(text);
}

QString TMainform::StatusText() const {
    return StatusBar1->currentMessage();
}

// --- File menu ---

void TMainform::New1Click() {
    StopPlayback();
    if (dialogs_.ShowParameters1) {
        // The user may change the format there, which already replaces the signal.
        auto dialog = dialogs_.ShowParameters1(TempFileName(), this, Signal());
        dialog->exec();
    }
    const SignalBase& s = *Signal();
    document_->Commit(SignalBase(s.SampleRate, s.Duration, s.Bits, s.NormValue, s.Channels),
                      {QStringLiteral("New signal created."), QStringLiteral("New Signal")}, this,
                      QStringLiteral("The signal is unchanged."));
}

void TMainform::Open1Click() {
    const QString fileName = OpenDialog1();
    if (fileName.isEmpty()) {
        return;
    }
    OpenFile(fileName);
}

void TMainform::OpenFile(const QString& fileName) {
    StopPlayback();
    const QString title = QStringLiteral("Open");
    if (!IsWavName(fileName)) {
        QMessageBox::warning(this, title,
                             QStringLiteral("%1\nis not a WAV file: the name must end in \".wav\".")
                                 .arg(QDir::toNativeSeparators(fileName)));
        return;
    }
    // Everything is read and the playback file written before the current signal is touched,
    // so a file that cannot be taken leaves signal, view and playback file as they were.
    std::unique_ptr<SignalBase> loaded;
    try {
        zembrel::WavFileRead reader(LocalPath(fileName));
        loaded = std::make_unique<SignalBase>(reader);
    } catch (const zembrel::WavError& e) {
        // A format beyond this window's (24 bit, float, more channels) is named, with the
        // program that reads it.
        const std::string format = zembrel::DescribeAudioFile(LocalPath(fileName));
        QMessageBox::warning(
            this, title,
            QStringLiteral("%1\ncannot be opened: %2.")
                    .arg(QDir::toNativeSeparators(fileName), QString::fromStdString(e.Reason())) +
                (format.empty() ? QString()
                                : QStringLiteral("\nThe file holds %1; zembrel-cli reads it.")
                                      .arg(QString::fromStdString(format))));
        return;
    } catch (const std::bad_alloc&) {
        QMessageBox::warning(this, title,
                             QStringLiteral("%1\nis too large to be held in memory.")
                                 .arg(QDir::toNativeSeparators(fileName)));
        return;
    }
    document_->Commit(std::move(*loaded), {QString(), fileName}, this,
                      QStringLiteral("The file is not opened."));
}

void TMainform::dragEnterEvent(QDragEnterEvent* event) {
    // A refused drag never reaches dropEvent: the reason is said as it enters, and stays.
    if (!AcceptAsCopy(event)) {
        SetStatusText(RefusedDrag(event->mimeData()));
    }
}

void TMainform::dragMoveEvent(QDragMoveEvent* event) {
    AcceptAsCopy(event);
}

void TMainform::dropEvent(QDropEvent* event) {
    if (!AcceptAsCopy(event)) {
        return;
    }
    // Opened once the drop has been answered, so the program the file came from does not wait
    // while a message about the file is open.
    const QString fileName = DraggedWavFile(event->mimeData());
    QMetaObject::invokeMethod(
        this, [this, fileName] { OpenFile(fileName); }, Qt::QueuedConnection);
}

void TMainform::Save1Click() {
    const SaveChoice choice = SaveDialog1();
    const QString& fileName = choice.FileName;
    if (fileName.isEmpty()) {
        return;
    }
    if (choice.RawData || !IsWavName(fileName)) {
        SetStatusText(QStringLiteral("File not saved."));
        return;
    }
    try {
        zembrel::WavFileWrite(LocalPath(fileName), ".wav", *Signal());
    } catch (const zembrel::WavError& e) {
        SetStatusText(QStringLiteral("File not saved."));
        QMessageBox::warning(
            this, QStringLiteral("Save"),
            QStringLiteral("%1\ncould not be written: %2.")
                .arg(QDir::toNativeSeparators(fileName), QString::fromStdString(e.Reason())));
        return;
    }
    SetStatusText(QStringLiteral("File saved."));
    SetGroupCaption(fileName);
}

void TMainform::Exit1Click() {
    ready_ = false;
    close();
}

QString TMainform::ChooseOpenFile() {
    const QString fileName =
        QFileDialog::getOpenFileName(this, QString(), FileDialogFolder(FileKind::Wav),
                                     QStringLiteral("Windows-PCM files (*.wav)"));
    RememberFileDialogFolder(FileKind::Wav, fileName);
    return fileName;
}

TMainform::SaveChoice TMainform::ChooseSaveFile() {
    const QString wavFilter = QStringLiteral("Windows-PCM files (*.wav)");
    const QString rawFilter = QStringLiteral("Raw Data files (*.dat)");
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDirectory(FileDialogFolder(FileKind::Wav));
    dialog.setNameFilters({wavFilter, rawFilter});
    dialog.setDefaultSuffix(QStringLiteral("wav"));
    // A name typed without extension takes the one of the chosen filter.
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, rawFilter](const QString& f) {
        dialog.setDefaultSuffix(f == rawFilter ? QStringLiteral("dat") : QStringLiteral("wav"));
    });
    dialog.selectFile(QStringLiteral("signal"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return SaveChoice();
    }
    const QString fileName = dialog.selectedFiles().constFirst();
    RememberFileDialogFolder(FileKind::Wav, fileName);
    return SaveChoice(fileName, dialog.selectedNameFilter() == rawFilter);
}

// --- Generator, Analyser, Parameters and Info menus ---

void TMainform::RunGeneratorDialog(const GeneratorDialogFactory& factory) {
    if (!factory) {
        return;
    }
    StopPlayback();
    // The dialog fills the cleared signal in place; the view keeps the old waveform until the
    // dialog commits a new one, and Cancel restores the signal from the playback file.
    document_->ClearForGenerator();
    try {
        auto dialog = factory(TempFileName(), this, Signal());
        dialog->exec();
    } catch (...) {
        // The dialog could not even be made: the cleared signal comes back before the error is
        // shown (a running dialog's slots report their own exceptions).
        const SignalDocument::Restored restored = document_->Restore();
        if (!restored.Ok) {
            QMessageBox::warning(this, kCaption, restored.Failure);
        }
        throw;
    }
}

void TMainform::RunAnalyserDialog(const AnalyserDialogFactory& factory) {
    if (!factory) {
        return;
    }
    auto dialog = factory(Signal());
    dialog->exec();
}

void TMainform::SineClick() {
    RunGeneratorDialog(dialogs_.Sine);
}
void TMainform::FunctionGenClick() {
    RunGeneratorDialog(dialogs_.FunctionGen);
}
void TMainform::AmplitudeModulationClick() {
    RunGeneratorDialog(dialogs_.AmplitudeModulation);
}
void TMainform::FrequencyModulationClick() {
    RunGeneratorDialog(dialogs_.FrequencyModulation);
}
void TMainform::FrequencySweepClick() {
    RunGeneratorDialog(dialogs_.FrequencySweep);
}
void TMainform::SynchronizedSweepClick() {
    RunGeneratorDialog(dialogs_.SynchronizedSweep);
}
void TMainform::SinepnphaseClick() {
    RunGeneratorDialog(dialogs_.Sinepnphase);
}
void TMainform::BandNoiseClick() {
    RunGeneratorDialog(dialogs_.BandNoise);
}
void TMainform::PinkNoiseClick() {
    RunGeneratorDialog(dialogs_.PinkNoise);
}
void TMainform::Aes17ToneClick() {
    RunGeneratorDialog(dialogs_.Aes17Tone);
}
void TMainform::TwinToneClick() {
    RunGeneratorDialog(dialogs_.TwinTone);
}
void TMainform::MultitoneClick() {
    RunGeneratorDialog(dialogs_.Multitone);
}
void TMainform::Frequency1Click() {
    RunAnalyserDialog(dialogs_.Frequency1);
}
void TMainform::Statistics1Click() {
    RunAnalyserDialog(dialogs_.Statistics1);
}
void TMainform::Distortion1Click() {
    RunAnalyserDialog(dialogs_.Distortion1);
}
void TMainform::SweepResponse1Click() {
    RunAnalyserDialog(dialogs_.SweepResponse1);
}

void TMainform::ShowParameters1Click() {
    // Only shows the format; neither stops playback nor clears the signal.
    if (!dialogs_.ShowParameters1) {
        return;
    }
    auto dialog = dialogs_.ShowParameters1(TempFileName(), this, Signal());
    dialog->exec();
}

void TMainform::AboutZembrel1Click() {
    TAboutBox about(this);
    about.exec();
}

void TMainform::UserGuide1Click() {
    // One window, raised again when it is open already.
    auto* window = findChild<UserGuideWindow*>();
    if (window == nullptr) {
        const QString guide = UserGuideWindow::FindGuide();
        if (guide.isEmpty()) {
            QMessageBox::information(
                this, kCaption,
                QStringLiteral("The user guide is not installed. It was looked for in:\n%1")
                    .arg(QDir::toNativeSeparators(
                        UserGuideWindow::GuidePlaces().join(QLatin1Char('\n')))));
            return;
        }
        window = new UserGuideWindow(guide, this);
    }
    window->show();
    window->raise();
    window->activateWindow();
}
