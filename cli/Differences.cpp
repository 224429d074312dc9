#include "cli/Differences.h"

#include "cli/Text.h"
#include "cli/Vocabulary.h"

namespace cli {
namespace {

std::string NumbersText(const std::vector<int>& numbers) {
    std::vector<std::string> texts;
    for (const int n : numbers)
        texts.push_back(std::to_string(n));
    return Join(texts, " ");
}

// Adds "key: held -> wanted" when the profile names the key and the values differ; describe
// turns a held value into text, with `missing` for a value the instrument does not hold.
template <class T, class Describe>
void Compare(std::vector<std::string>& lines, const std::string& key, const std::optional<T>& held,
             const std::optional<T>& wanted, const std::string& missing, Describe describe) {
    if (!wanted || held == wanted) return;
    lines.push_back(key + ": " + (held ? describe(*held) : missing) + " -> " + describe(*wanted));
}

}  // namespace

std::vector<std::string> Differences(const Profile& held, const Profile& wanted) {
    std::vector<std::string> lines;
    const auto mode = [](int m) { return NameAt(kModeNames, m); };
    const auto number = [](int n) { return std::to_string(n); };
    const auto measurement = [](int m) { return NameAt(kMeasurementNames, m); };
    const auto choice = [](int c) { return NameAt(kPlateChoiceNames, c); };
    Compare(lines, "mode", held.mode, wanted.mode, "unknown", mode);
    Compare(lines, "baud", held.baud, wanted.baud, "unknown", number);
    Compare(lines, "filters", held.filters, wanted.filters, "no filter slide", NumbersText);
    Compare(lines, "measurement", held.measurement, wanted.measurement, "none of the presets",
            measurement);
    if (wanted.plate) {
        const Profile::Plate none;
        const Profile::Plate& heldPlate = held.plate ? *held.plate : none;
        for (std::size_t i = 0; i < kPlateGroups.size(); ++i) {
            Compare(lines, "plate." + std::string(kPlateGroups[i].key), heldPlate[i],
                    (*wanted.plate)[i], "not set", choice);
        }
    }
    return lines;
}

}  // namespace cli
