#include "gui/analysis/AnalyserRadioGroup.h"
#include "gui/analysis/TFDlgStatistics.h"

#include "core/generators/FinishSignal.h"
#include "core/generators/SineGenerator.h"
#include "core/signal/SignalBase.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>

#include <memory>

using zembrel::SignalBase;

namespace {

// A number as the dialog writes it with the system's decimal separator.
QString Local(const char* cText) {
    return QString::fromLatin1(cText).replace(QLatin1Char('.'), QLocale::system().decimalPoint());
}

struct Shown {
    QString max, min, dc, mean, rms, crest;
};

Shown ShownBy(const TFDlgStatistics& d) {
    return {d.Label6->text(), d.Label7->text(),  d.Label8->text(),
            d.Label9->text(), d.Label10->text(), d.Label11->text()};
}

void ExpectShown(const TFDlgStatistics& d, const Shown& want) {
    const Shown got = ShownBy(d);
    EXPECT_EQ(got.max.toStdString(), want.max.toStdString());
    EXPECT_EQ(got.min.toStdString(), want.min.toStdString());
    EXPECT_EQ(got.dc.toStdString(), want.dc.toStdString());
    EXPECT_EQ(got.mean.toStdString(), want.mean.toStdString());
    EXPECT_EQ(got.rms.toStdString(), want.rms.toStdString());
    EXPECT_EQ(got.crest.toStdString(), want.crest.toStdString());
}

TEST(StatisticsDialog, ZeroDecibelSineIsOnDisplayAtOnce) {
    SignalBase s(44100.0, 1.0, 16, 32768, 1);
    zembrel::SineGenerator(s, 1000.0, 1.0, 0.0);
    zembrel::FinishSignal(s, 0.0);
    TFDlgStatistics d(nullptr, &s);
    EXPECT_EQ(d.windowTitle(), "Statistics");
    EXPECT_EQ(d.GroupBox1->title(), "Signal Statistics");
    EXPECT_EQ(d.Label1->text(), "Max Sample Value:");
    EXPECT_EQ(d.Label2->text(), "Min Sample Value:");
    EXPECT_EQ(d.Label3->text(), "DC Offset:");
    EXPECT_EQ(d.Label13->text(), "%");
    EXPECT_EQ(d.Label12->text(), "Arithmetic Mean Value:");
    EXPECT_EQ(d.Label4->text(), "Average RMS Value:");
    EXPECT_EQ(d.Label5->text(), "Crest Factor:");
    EXPECT_TRUE(d.Label1->alignment() & Qt::AlignRight);
    EXPECT_EQ(d.SelectChannel->title(), "Channel");
    EXPECT_EQ(d.Button1->text(), "Close");

    // Mono: "Left" selected and the choice disabled.
    EXPECT_FALSE(d.SelectChannel->isEnabled());
    EXPECT_TRUE(d.SelectChannel->Item(0)->isChecked());
    ExpectShown(
        d, {"32767", "-32768", Local("-0.002"), Local("-0.499"), Local("23170.2"), Local("1.414")});
}

TEST(StatisticsDialog, StereoShowsTheChosenChannel) {
    SignalBase s(8000.0, 0.0005, 16, 32768, 2); // 4 frames
    const double left[] = {100, -300, 50, 50};
    const double right[] = {1000, 2000, 3000, 4000};
    s.SetLeft(left);
    s.SetRight(right);
    TFDlgStatistics d(nullptr, &s);
    d.show();
    QApplication::processEvents();
    EXPECT_TRUE(d.SelectChannel->isEnabled());
    EXPECT_EQ(d.SelectChannel->ItemIndex(), 0);
    ExpectShown(d,
                {"100", "-300", Local("-0.076"), Local("-25.000"), Local("162.0"), Local("1.852")});

    d.SelectChannel->Item(1)->click();
    ExpectShown(
        d, {"4000", "1000", Local("7.629"), Local("2500.000"), Local("2738.6"), Local("1.461")});
    EXPECT_DOUBLE_EQ(d.MeanValue, 2500.0);

    d.SelectChannel->Item(0)->click();
    EXPECT_EQ(d.Label6->text(), "100");
    d.Button1->click();
    EXPECT_FALSE(d.isVisible());
}

TEST(StatisticsDialog, NumberFormats) {
    struct Case {
        double value;
        int decimals;
        const char* point;
        const char* text;
    };
    const Case fixed[] = {
        {-0.499, 3, ".", "-0.499"},    {-0.4994, 3, ",", "-0,499"},
        {23170.24, 1, ",", "23170,2"}, {1234567.0, 3, ".", "1234567.000"},
        {-0.0004, 3, ".", "0.000"},    {-0.04, 1, ",", "0,0"},
        {0.0005, 3, ".", "0.001"},     {-12.6, 0, ".", "-13"},
    };
    for (const auto& c : fixed) {
        EXPECT_EQ(TFDlgStatistics::FormatFixed(c.value, c.decimals, QString::fromLatin1(c.point)),
                  c.text)
            << c.value;
    }
    // Whole numbers are truncated toward zero.
    EXPECT_EQ(TFDlgStatistics::FormatWhole(-0.7), "0");
    EXPECT_EQ(TFDlgStatistics::FormatWhole(12.99), "12");
    EXPECT_EQ(TFDlgStatistics::FormatWhole(-32768.9), "-32768");
    EXPECT_EQ(TFDlgStatistics::FormatWhole(32767.0), "32767");
}

} // namespace
