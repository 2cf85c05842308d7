#pragma once

#include "cli/GeneratorCommand.h"

#include "core/generators/FrequencyListFile.h"

#include <CLI/CLI.hpp>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace cli {

// A generator that adds components one by one, as its dialog's Add button does (sine, pn-sine
// and white noise): each component is one repeatable option of comma-separated numbers, one
// --offset and one --level hold for the whole sum, and --list imports a list file instead.
// Input is one component, Check its flags; the level is checked with the last component.
template <class Input, class Check> class ComponentSumCommand : public GeneratorCommand {
public:
    struct Parts {
        GeneratorTraits Traits;
        const char* Option;   // "--sine"
        const char* Help;     // of the option
        const char* TypeName; // "FREQ[,AMP[,PHASE]]"
        std::size_t Required; // numbers a component needs; Defaults fills up the rest
        std::vector<double> Defaults;
        // The component of the numbers read, with the one offset of the sum (degrees).
        Input (*Make)(const std::vector<double>& values, double offset);
        Check (*CheckOne)(const Input& input, double sampleRate, std::optional<double> level);
        // The flags of Check named in a refusal, each with what it names: "(frequency)".
        std::vector<std::pair<bool Check::*, const char*>> Named;
        const char* ErrorText;
        const char* OffsetHelp;
        const char* ListHelp;
        zembrel::FrequencyList (*ReadList)(const std::string& path);
        zembrel::GeneratorStatus (*Generate)(zembrel::SignalBase& signal,
                                             const std::vector<Input>& inputs, double level,
                                             std::optional<std::uint32_t> seed,
                                             zembrel::CalculationObserver& observer);
        zembrel::GeneratorStatus (*GenerateList)(zembrel::SignalBase& signal,
                                                 const zembrel::FrequencyList& list,
                                                 std::optional<std::uint32_t> seed,
                                                 zembrel::CalculationObserver& observer);
    };

    explicit ComponentSumCommand(Parts parts)
        : GeneratorCommand(parts.Traits), parts_(std::move(parts)) {}

protected:
    void AddOptions(CLI::App& command) override {
        auto* component = Repeatable(command.add_option(parts_.Option, texts_, parts_.Help))
                              ->type_name(parts_.TypeName);
        auto* offset = command.add_option("--offset", offset_, parts_.OffsetHelp);
        offset->capture_default_str()->type_name("DEG");
        AddLevel(command, level_);
        command.add_option("--list", list_, parts_.ListHelp)
            ->type_name("FILE")
            ->excludes(component)
            ->excludes(offset)
            ->excludes("--level");
    }

    void Prepare(double sampleRate) override {
        if (!list_.empty()) {
            // Read whole before anything is computed; what cannot be read is refused with the
            // file, the line and the reason.
            try {
                listContents_ = parts_.ReadList(list_);
            } catch (const zembrel::ListFileError& e) {
                throw UsageError(std::string("--list ") + e.what());
            }
            return;
        }
        if (texts_.empty()) {
            throw UsageError(std::string(parts_.Option) + " or --list is required");
        }
        levelValue_ = ParseNumber("--level", level_);
        const double offset = ParseNumber("--offset", offset_);
        inputs_.clear();
        for (const std::string& text : texts_) {
            inputs_.push_back(parts_.Make(
                ParseNumberList(parts_.Option, text, parts_.Required, parts_.Defaults), offset));
        }
        RefusedOptions refused;
        bool offsetOk = true;
        for (std::size_t i = 0; i < inputs_.size(); ++i) {
            const bool last = i + 1 == inputs_.size();
            const Check check = parts_.CheckOne(inputs_[i], sampleRate,
                                                last ? std::optional(levelValue_) : std::nullopt);
            for (const auto& [flag, what] : parts_.Named) {
                refused.Add(check.*flag, parts_.Option, texts_[i], what);
            }
            refused.Add(check.Level, "--level", level_);
            offsetOk = offsetOk && check.Offset;
        }
        refused.Add(offsetOk, "--offset", offset_);
        refused.ThrowIfAny(parts_.ErrorText);
    }

    zembrel::GeneratorStatus Run(zembrel::SignalBase& signal, std::optional<std::uint32_t> seed,
                                 zembrel::CalculationObserver& observer) override {
        if (!list_.empty()) {
            return parts_.GenerateList(signal, listContents_, seed, observer);
        }
        return parts_.Generate(signal, inputs_, levelValue_, seed, observer);
    }

private:
    Parts parts_;
    std::vector<std::string> texts_;
    std::string offset_ = "0";
    std::string level_ = "0";
    std::string list_;
    zembrel::FrequencyList listContents_;
    std::vector<Input> inputs_;
    double levelValue_ = 0.0;
};

} // namespace cli
