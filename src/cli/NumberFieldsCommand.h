#pragma once

#include "cli/GeneratorCommand.h"

#include <CLI/CLI.hpp>

#include <deque>
#include <string>
#include <utility>

namespace cli {

// A generator whose dialog is one struct of numbers (Input) checked at once into one struct of
// flags (Check), such as the function, modulation, sweep and pink noise generators: every
// number field is one option, added, read and named in a refusal by one row. Rows are read and
// named in the order they were added, which is their order in --help and in the dialog.
template <class Input, class Check> class NumberFieldsCommand : public GeneratorCommand {
public:
    using Checker = Check (*)(const Input&, double sampleRate);

protected:
    NumberFieldsCommand(GeneratorTraits traits, Checker check, const char* errorText)
        : GeneratorCommand(std::move(traits)), check_(check), errorText_(errorText) {}

    // An option for the field value of Input, whose acceptance the check reports in accepted.
    // Without a default text the option is required.
    CLI::Option* AddNumber(CLI::App& command, const char* option, double Input::*value,
                           bool Check::*accepted, const char* help, const char* typeName,
                           const char* defaultText = nullptr) {
        Row& row = rows_.emplace_back(Row{option, value, accepted, defaultText ? defaultText : ""});
        CLI::Option* added = command.add_option(option, row.Text, help)->type_name(typeName);
        return defaultText ? added->capture_default_str() : Required(added);
    }

    void AddLevel(CLI::App& command) {
        cli::AddLevel(command,
                      rows_.emplace_back(Row{"--level", &Input::Level, &Check::Level, "0"}).Text);
    }

    // Reads every row into input_, checks it and refuses what the check refused. A generator
    // with a choice among names reads it into input_ first, then calls this.
    void Prepare(double sampleRate) override {
        for (const Row& row : rows_) {
            input_.*row.Value = ParseNumber(row.Option, row.Text);
        }
        const Check check = check_(input_, sampleRate);
        RefusedOptions refused;
        for (const Row& row : rows_) {
            refused.Add(check.*row.Accepted, row.Option, row.Text);
        }
        refused.ThrowIfAny(errorText_);
    }

    Input input_;

private:
    struct Row {
        const char* Option;
        double Input::*Value;
        bool Check::*Accepted;
        std::string Text; // as given; CLI11 writes into it, so rows never move (a deque)
    };

    Checker check_;
    const char* errorText_;
    std::deque<Row> rows_;
};

} // namespace cli
