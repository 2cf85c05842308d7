#include "tests/gui/app/MainformFixture.h"

#include "gui/analysis/AnalyserRadioGroup.h"
#include "gui/analysis/LevelChart.h"
#include "gui/analysis/TFDlgFrequencyAnalysis.h"
#include "gui/analysis/TFDlgStatistics.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>

namespace {

// The Analyser menu opens each dialog modally on the current signal, which stays as it was.
class AnalyserMenu : public MainformFixture {
protected:
    void SetUp() override {
        DialogFactories dialogs;
        dialogs.Frequency1 = AnalyserDialog<TFDlgFrequencyAnalysis>();
        dialogs.Statistics1 = AnalyserDialog<TFDlgStatistics>();
        MakeForm(std::move(dialogs));
    }
};

TEST_F(AnalyserMenu, FrequencyOpensTheAnalyserOnTheCurrentSignal) {
    const auto tone = guitest::Tone(32000.0, 0.5, 2, 16, 2000.0, 6000.0, 20000.0);
    Commit(tone);
    ASSERT_TRUE(form->Frequency1->isEnabled());
    bool seen = false;
    guitest::AnswerNextModal([&](QWidget* modal) {
        auto* d = qobject_cast<TFDlgFrequencyAnalysis*>(modal);
        ASSERT_NE(d, nullptr);
        seen = true;
        EXPECT_TRUE(d->ChannelSelGroup->isEnabled());
        EXPECT_EQ(d->LineSeries1->data()->size(), 16384);
        EXPECT_EQ(d->Chart1->xAxis->range().upper, 16000.0);
        d->BClose->click();
    });
    form->Frequency1Click();
    EXPECT_TRUE(seen);
    EXPECT_EQ(form->Signal()->Left, tone.Left);
    EXPECT_EQ(form->Signal()->Right, tone.Right);
}

TEST_F(AnalyserMenu, StatisticsOpensWithTheFiguresOnDisplay) {
    auto constant = zembrel::SignalBase(8000.0, 0.5, 16, 32768, 1);
    std::fill(constant.Mono.begin(), constant.Mono.end(), -8192.0);
    Commit(constant);
    ASSERT_TRUE(form->Statistics1->isEnabled());
    bool seen = false;
    guitest::AnswerNextModal([&](QWidget* modal) {
        auto* d = qobject_cast<TFDlgStatistics*>(modal);
        ASSERT_NE(d, nullptr);
        seen = true;
        EXPECT_FALSE(d->SelectChannel->isEnabled());
        EXPECT_EQ(d->Label6->text(), "-8192");
        EXPECT_EQ(d->Label7->text(), "-8192");
        d->Button1->click();
    });
    form->Statistics1Click();
    EXPECT_TRUE(seen);
    EXPECT_EQ(form->Signal()->Mono, constant.Mono);
}

} // namespace
