// What an engineer reads off the analysers and takes away from them, driven as a user does.

#include "tests/gui/UserInput.h"
#include "tests/gui/app/MainformFixture.h"

#include "tests/core/analysis/LevelRowsCheck.h"

#include "gui/analysis/AnalyserRadioGroup.h"
#include "gui/analysis/LevelChart.h"
#include "gui/analysis/TFDlgFrequencyAnalysis.h"
#include "gui/analysis/TFDlgStatistics.h"
#include "gui/app/DialogFactories.h"

#include "core/analysis/ChannelLevels.h"
#include "core/generators/CalculationProtocol.h"
#include "core/generators/Generate.h"
#include "core/signal/SignalBase.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

namespace {

using namespace userinput;
using zembrel::SignalBase;

struct Silent : zembrel::CalculationObserver {
    bool StopRequested() const override { return false; }
    void Report(int) override {}
};

// ImageMagick reads the file as an image.
bool OpensAsImage(const QString& fileName) {
    return QProcess::execute(QStringLiteral("identify"), {fileName}) == 0;
}

// The toolkit's messages (qDebug, qWarning ...) while it lives.
class MessageLog {
public:
    MessageLog() { previous_ = qInstallMessageHandler(&MessageLog::Take); }
    ~MessageLog() {
        qInstallMessageHandler(previous_);
        Lines().clear();
    }
    static QStringList& Lines() {
        static QStringList lines;
        return lines;
    }

private:
    static void Take(QtMsgType, const QMessageLogContext&, const QString& text) { Lines() << text; }
    QtMessageHandler previous_;
};

class Readouts : public MainformFixture {
protected:
    void SetUp() override {
        MakeForm(InstalledDialogs());
        SignalBase sine(44100.0, 10.0, 16, 32768, 1); // a 1 kHz sine at 0 dB
        Silent observer;
        ASSERT_EQ(zembrel::GenerateSines(sine, {{1000.0, 1.0, 0.0, 0.0}}, 0.0, observer),
                  zembrel::GeneratorStatus::Finished);
        Commit(sine);
    }
    // Types name into the file dialog that comes next.
    void SaveAs(QWidget* button, const QString& name) {
        OnNextModal([name](QWidget* dialog) {
            TypeInto(dialog->findChild<QLineEdit*>("fileNameEdit"), name);
            Press(Qt::Key_Return);
        });
        Click(button);
    }
    ModalWatchdog watchdog{20000};
};

TEST_F(Readouts, SpectrumMarksThePeakReadsTheBinUnderTheMouseAveragesAndSaves) {
    const double binWidth = 44100.0 / 32768.0;
    std::vector<double> shown;
    const MessageLog log;
    OnNextModal([&](QWidget* w) {
        auto* d = qobject_cast<TFDlgFrequencyAnalysis*>(w);
        ASSERT_NE(d, nullptr);
        // The marker sits on the bin nearest 1 kHz and says where it is.
        const int peak = static_cast<int>(std::lround(1000.0 / binWidth));
        EXPECT_EQ(d->PeakMarker->graphKey(), peak * binWidth);
        EXPECT_TRUE(d->PeakLabel->text().startsWith(QString::number(peak * binWidth, 'f', 2)))
            << d->PeakLabel->text().toStdString();

        // The bin under the mouse, on the linear and on the logarithmic axis.
        for (int axis : {0, 1}) {
            Click(d->faxis->Item(axis));
            d->Chart1->replot();
            const QPoint at(qRound(d->Chart1->xAxis->coordToPixel(peak * binWidth)),
                            d->Chart1->axisRect()->center().y());
            QTest::mouseMove(d->windowHandle(), d->Chart1->mapTo(d, at));
            // A pixel spans many bins: the highest of them is shown, the peak.
            EXPECT_EQ(d->Readout->text(), QStringLiteral("Frequency: %1 Hz    Level: %2 dB")
                                              .arg(peak * binWidth, 0, 'f', 2)
                                              .arg(d->Levels()[peak], 0, 'f', 2))
                << "axis " << axis;
        }
        Click(d->faxis->Item(0));
        // Both axes label their ends (the ticks are made when the chart is drawn).
        d->Chart1->toPixmap();
        ASSERT_FALSE(d->Chart1->xAxis->tickVector().isEmpty());
        EXPECT_EQ(d->Chart1->xAxis->tickVector().last(), 22050.0);
        EXPECT_EQ(d->Chart1->yAxis->tickVector().last(), 0.0);

        // The average over 10 s takes 25 blocks of 32768 and keeps the sine's level.
        const double single = d->Levels()[peak];
        const QSize size = d->size();
        Click(d->Average);
        QApplication::processEvents();
        EXPECT_EQ(d->size(), size); // the controls stay under the mouse
        EXPECT_EQ(d->Blocks(), 25);
        EXPECT_TRUE(d->BlockCount->text().startsWith("25 blocks"))
            << d->BlockCount->text().toStdString();
        EXPECT_NEAR(d->Levels()[peak], single, 0.01);
        shown = d->Levels();

        SaveAs(d->BSave, temp.Path() + "/levels.csv");
        SaveAs(d->BSave, temp.Path() + "/spectrum.png");
        SaveAs(d->BSave, temp.Path() + "/spectrum.svg");
        Press(Qt::Key_Escape);
    });
    ChooseMenu("AF");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(MessageLog::Lines().filter("no data").isEmpty())
        << MessageLog::Lines().join('\n').toStdString();

    // The CSV holds the levels on show, row by row, exactly.
    ASSERT_EQ(shown.size(), 16384u);
    zembrel::test::ExpectSpectrumRows(guitest::ReadBytes(temp.Path() + "/levels.csv").toStdString(),
                                      ',', true, 44100.0, 32768, shown);
    EXPECT_TRUE(OpensAsImage(temp.Path() + "/spectrum.png"));
    EXPECT_TRUE(OpensAsImage(temp.Path() + "/spectrum.svg"));
}

TEST_F(Readouts, StatisticsGivePeakAndRmsInDbfs) {
    bool shown = false;
    OnNextModal([&shown](QWidget* w) {
        shown = true;
        auto* d = qobject_cast<TFDlgStatistics*>(w);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->PeakLevel->text(), "0.00");
        EXPECT_EQ(d->RmsLevel->text(), "-3.01");
        Press(Qt::Key_Escape);
    });
    ChooseMenu("AS");
    EXPECT_TRUE(shown) << "the menu opened no modal dialog";
}

// The waveform's context menu saves the chart as an image; its axes label their ends.
TEST_F(Readouts, WaveformChartSavesItsImageFromTheContextMenu) {
    form->Chart1->toPixmap(); // the ticks are made when the chart is drawn
    ASSERT_FALSE(form->Chart1->xAxis->tickVector().isEmpty());
    EXPECT_EQ(form->Chart1->xAxis->tickVector().last(), 10.0);
    EXPECT_EQ(form->Chart1->yAxis->tickVector().last(), 32768.0);

    const QString image = temp.Path() + "/waveform.png";
    When([] { return QApplication::activePopupWidget() != nullptr; },
         [&] {
             OnNextModal([&](QWidget* dialog) {
                 TypeInto(dialog->findChild<QLineEdit*>("fileNameEdit"), image);
                 Press(Qt::Key_Return);
             });
             Press(Qt::Key_I); // "Save Image..."
         });
    QTest::mouseClick(form->windowHandle(), Qt::RightButton, Qt::NoModifier,
                      form->Chart1->mapTo(form.get(), form->Chart1->rect().center()));
    ASSERT_TRUE(WaitUntil([&] { return QFile::exists(image); }));
    EXPECT_TRUE(OpensAsImage(image));
}

} // namespace
