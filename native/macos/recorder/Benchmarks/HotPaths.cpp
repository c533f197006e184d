// CPU cost of the text rules that run on every element the tools read: the
// meeting-ID rules, control-label classification and the text operations they
// are written in. The inputs are the kinds of text a Zoom window shows.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "ConferenceEvidence/ConferenceEvidence.hpp"
#include "RoomcodeCore/MeetingId.hpp"
#include "Text/NumberText.hpp"
#include "Text/Text.hpp"

namespace {

const std::vector<std::string>& windowTexts() {
    static const std::vector<std::string> texts{
        "Zoom Meeting",
        "Meeting ID: 812 3456 7890",
        "https://us02web.zoom.us/j/81234567890?pwd=abcDEF123",
        "Participant 17",
        "Computer audio muted",
        "More options for Participant 17",
        "Passcode: 482913",
        "Participant ID: 123456",
        "Mute",
        "Leave",
        "",
        "Weekly planning with the whole team, agenda in the chat",
    };
    return texts;
}

// One rule applied to every text of the window, the measure being per text.
template <typename Rule>
void overWindowTexts(benchmark::State& state, Rule rule) {
    for (auto _ : state) {
        for (const std::string& text : windowTexts())
            benchmark::DoNotOptimize(rule(text));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(windowTexts().size()));
}

void meetingIdParse(benchmark::State& state) {
    overWindowTexts(state, [](const std::string& text) { return RoomcodeCore::Roomcode::parse(text); });
}
BENCHMARK(meetingIdParse);

void meetingIdLabel(benchmark::State& state) {
    overWindowTexts(state, [](const std::string& text) {
        return RoomcodeCore::Roomcode::textLooksLikeMeetingIdLabel(text);
    });
}
BENCHMARK(meetingIdLabel);

void meetingIdDigitsOnly(benchmark::State& state) {
    overWindowTexts(state,
                    [](const std::string& text) { return RoomcodeCore::Roomcode::parseDigitsOnly(text); });
}
BENCHMARK(meetingIdDigitsOnly);

void controlLabelClassification(benchmark::State& state) {
    overWindowTexts(state,
                    [](const std::string& text) { return ConferenceEvidence::classifyControlLabel(text); });
}
BENCHMARK(controlLabelClassification);

void lowercaseTrim(benchmark::State& state) {
    overWindowTexts(state, [](const std::string& text) { return Text::lowercase(Text::trim(text)); });
}
BENCHMARK(lowercaseTrim);

void phraseContains(benchmark::State& state) {
    overWindowTexts(state, [](const std::string& text) { return Text::contains(text, "meeting id"); });
}
BENCHMARK(phraseContains);

void graphemeCount(benchmark::State& state) {
    overWindowTexts(state, [](const std::string& text) { return Text::graphemeCount(text); });
}
BENCHMARK(graphemeCount);

// A slider or counter value read as text, as both tools read numbers.
void numberText(benchmark::State& state) {
    double value = 0.1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Text::numberText(value));
        value += 0.37;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(numberText);

}  // namespace

BENCHMARK_MAIN();
