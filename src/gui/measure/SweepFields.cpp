#include "gui/measure/SweepFields.h"

#include "gui/generators/GeneratorDialog.h"

#include <QLineEdit>

zembrel::SyncSweepInput SweepFields::Read(double rate) const {
    zembrel::SyncSweepInput input;
    input.StartHz = GeneratorDialog::ReadNumber(Start);
    input.StopHz = GeneratorDialog::ReadNumber(Stop);
    input.LengthS = GeneratorDialog::ReadNumber(Length);
    input.FadeInMs = GeneratorDialog::ReadNumber(FadeIn);
    input.FadeOutMs = GeneratorDialog::ReadNumber(FadeOut);
    input.PreS = GeneratorDialog::ReadNumber(Pre);
    input.PostS = GeneratorDialog::ReadNumber(Post);
    input.LevelDb = GeneratorDialog::ReadNumber(Level);
    input.RateHz = rate;
    return input;
}

void SweepFields::Show(const zembrel::SyncSweepInput& input) const {
    // Shortest round-trip form: the real length gives the same L again.
    const auto set = [](QLineEdit* edit, double value) {
        edit->setText(QString::number(value, 'g', 10));
    };
    set(Start, input.StartHz);
    set(Stop, input.StopHz);
    set(Length, input.LengthS);
    set(FadeIn, input.FadeInMs);
    set(FadeOut, input.FadeOutMs);
    set(Pre, input.PreS);
    set(Post, input.PostS);
    set(Level, input.LevelDb);
}
