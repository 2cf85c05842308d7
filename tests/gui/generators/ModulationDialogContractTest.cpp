// What the three modulation dialogs share with every generator dialog: OK scales, writes the
// playback file, reports and redraws; Cancel and the close box bring the previous signal back;
// no field takes a number that is not finite.
#include "gui/generators/TFDlgAmplitudeModulationGen.h"
#include "gui/generators/TFDlgFrequencyModulationGen.h"
#include "gui/generators/TFDlgFrequencySweepGen.h"
#include "tests/gui/generators/ModulationDialogFixture.h"

#include "core/generators/FinishSignal.h"
#include "core/signal/WavFileRead.h"

#include <QComboBox>
#include <QPushButton>

#include <vector>

using zembrel::SignalBase;

namespace {

struct AmplitudeModulation {
    using Dialog = TFDlgAmplitudeModulationGen;
    static void EnterValid(Dialog& d) {
        d.carrier_f->setText("1000");
        d.mod_f->setText("100");
    }
    static QPushButton* Ok(Dialog& d) { return d.BOK; }
    static QPushButton* Cancel(Dialog& d) { return d.BCancel; }
};

struct FrequencyModulation {
    using Dialog = TFDlgFrequencyModulationGen;
    static void EnterValid(Dialog& d) {
        d.carrier_f->setText("1000");
        d.mod_f->setText("100");
    }
    static QPushButton* Ok(Dialog& d) { return d.BOk; }
    static QPushButton* Cancel(Dialog& d) { return d.BCancel; }
};

struct FrequencySweep {
    using Dialog = TFDlgFrequencySweepGen;
    static void EnterValid(Dialog& d) {
        d.start_f->setText("100");
        d.stop_f->setText("5000");
        d.type->setCurrentIndex(2);
    }
    static QPushButton* Ok(Dialog& d) { return d.Button2; }
    static QPushButton* Cancel(Dialog& d) { return d.Button1; }
};

template <class Traits>
class ModulationDialogContract : public ModulationDialogFixture<typename Traits::Dialog> {};

using Dialogs = ::testing::Types<AmplitudeModulation, FrequencyModulation, FrequencySweep>;
TYPED_TEST_SUITE(ModulationDialogContract, Dialogs);

TYPED_TEST(ModulationDialogContract, OkScalesToTheLevelWritesThePlaybackFileAndRedraws) {
    this->UseStereo(0.5);
    auto d = this->Open();
    TypeParam::EnterValid(*d);
    d->lev->setText("-6");
    TypeParam::Ok(*d)->click();
    EXPECT_TRUE(this->errors.isEmpty()) << this->errors.join("|").toStdString();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(this->form->StatusText(), "Calculation finished.");

    const SignalBase& s = *this->form->Signal();
    EXPECT_EQ(s.SampleRate, 48000.0); // the format stays
    EXPECT_EQ(s.Channels, 2);
    EXPECT_EQ(s.SampleCount, 24000);
    // The joint peak stands at -6 dB of full scale, in whole file units.
    const double target = 32768.0 * std::pow(10.0, -6.0 / 20.0);
    const double peak = std::max(this->PeakOf(s.Left), this->PeakOf(s.Right));
    EXPECT_NEAR(peak, target, 1.0);
    for (double v : s.Left) {
        ASSERT_EQ(v, std::trunc(v));
    }
    zembrel::WavFileRead reader(this->form->TempFileName().toStdString());
    const SignalBase file(reader);
    EXPECT_EQ(file.Left, s.Left);
    EXPECT_EQ(file.Right, s.Right);
    // The view shows the new signal.
    EXPECT_EQ(guitest::LargestValue(this->form->LineSeries1),
              *std::max_element(s.Left.begin(), s.Left.end()));
}

TYPED_TEST(ModulationDialogContract, CancelAndCloseBoxRestoreTheCommittedSignal) {
    SignalBase before = guitest::Tone(44100.0, 0.1, 1, 16, 440.0, 0.0, 20000.0);
    zembrel::FinishSignal(before, -3.0); // whole numbers, as the playback file stores them
    before.NormValue = 30000;
    this->Commit(before);
    this->form->SetStatusText("unchanged");
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Cancel");
        auto d = this->Open();
        TypeParam::EnterValid(*d);
        d->lev->setText("5"); // a failed OK first: the signal stays cleared
        TypeParam::Ok(*d)->click();
        EXPECT_EQ(this->errors.size(), 1);
        this->errors.clear();
        EXPECT_TRUE(this->IsSilent());
        if (closeBox) {
            d->close();
        } else {
            TypeParam::Cancel(*d)->click();
        }
        EXPECT_FALSE(d->isVisible());
        EXPECT_EQ(d->result(), QDialog::Rejected);
        EXPECT_EQ(this->form->Signal()->Mono, before.Mono);
        EXPECT_EQ(this->form->Signal()->NormValue, 32768); // as the file stores it
        EXPECT_EQ(this->form->StatusText(), "unchanged");
    }
}

TYPED_TEST(ModulationDialogContract, NoFieldTakesANumberThatIsNotFinite) {
    this->UseStereo(); // every field enabled
    auto d = this->Open();
    std::vector<QLineEdit*> edits;
    for (QLineEdit* edit : d->template findChildren<QLineEdit*>()) {
        edits.push_back(edit);
    }
    ASSERT_GE(edits.size(), 3u);
    for (QLineEdit* edit : edits) {
        for (const char* bad : {"nan", "inf", "-1e999"}) {
            SCOPED_TRACE(edit->objectName().toStdString() + " = " + bad);
            this->errors.clear();
            TypeParam::EnterValid(*d);
            edit->setText(bad);
            TypeParam::Ok(*d)->click();
            EXPECT_EQ(this->errors.size(), 1);
            EXPECT_EQ(this->atMessage[edit->objectName()], "");
            EXPECT_TRUE(d->isVisible());
            EXPECT_TRUE(this->IsSilent());
        }
    }
}

} // namespace
