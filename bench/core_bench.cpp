// One keystroke through the change handling into the three other fields, and the text rules
// alone. Run: build/bench/core_bench
#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "conversion_panel.h"
#include "number_text.h"

namespace {

using tolvane::ConversionPanel;
using tolvane::UnitField;

// Plain fields, as cheap as fields can be, so the figures are the panel's own.
class PlainFields : public tolvane::UnitFieldSurface {
public:
    ConversionPanel* panel = nullptr;
    std::array<std::string, 4> texts;

    std::string text(UnitField field) const override { return texts[index(field)]; }
    void setText(UnitField field, const std::string& text) override {
        if (texts[index(field)] != text) {
            texts[index(field)] = text;
            panel->fieldChanged(field);
        }
    }
    void setFocus(UnitField field) override { panel->fieldFocused(field); }

private:
    static std::size_t index(UnitField field) { return fieldIndex(field); }
};

class NoMessages : public tolvane::MessageBoxes {
public:
    void show(const std::string&, const std::string&, tolvane::MessageIcon) override {}
};

void keystrokeThroughTheChain(benchmark::State& state, UnitField field) {
    PlainFields fields;
    NoMessages messages;
    ConversionPanel panel(fields, messages, ".");
    fields.panel = &panel;
    panel.fieldFocused(field);
    const std::string entries[] = {"37", "37.5", "-1.5E+3", "98.6"};
    std::size_t i = 0;
    for (auto _ : state) {
        fields.setText(field, entries[i++ % 4]);
        benchmark::DoNotOptimize(fields.texts);
    }
}
BENCHMARK_CAPTURE(keystrokeThroughTheChain, Celsius, UnitField::Celsius);
BENCHMARK_CAPTURE(keystrokeThroughTheChain, Rankine, UnitField::Rankine);

void readNumber(benchmark::State& state) {
    const std::string text = "-17.7777777777778";
    for (auto _ : state) {
        benchmark::DoNotOptimize(tolvane::readNumber(text, "."));
    }
}
BENCHMARK(readNumber);

void writeNumber(benchmark::State& state) {
    double value = -17.777777777777779;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tolvane::writeNumber(value, "."));
        value += 1e-9;
    }
}
BENCHMARK(writeNumber);

void readMegabyteEntry(benchmark::State& state) {
    const std::string text = "1." + std::string(1 << 20, '5') + "e-2";
    for (auto _ : state) {
        benchmark::DoNotOptimize(tolvane::readNumber(text, "."));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(readMegabyteEntry);

}  // namespace

BENCHMARK_MAIN();
