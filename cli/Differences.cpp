#include "cli/Differences.h"

#include "cli/Text.h"
#include "cli/Vocabulary.h"

namespace cli {
namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kNoPreset = "none of the presets";

// The instrument's side of one setting: its value in the profile's shape, a text for a setting
// it does not hold, or nothing when it was not read.
template <class T, class Shape>
std::optional<Json> HeldValue(const engine::SettingRead<T>& held, Shape shape) {
    switch (held.status) {
        case engine::ReadStatus::Read:
            return shape(held.value);
        case engine::ReadStatus::NotHeld:
            return Json(held.notHeld);
        default:
            return std::nullopt;
    }
}

void Compare(std::vector<Difference>& list, const std::string& setting,
             const std::optional<Json>& held, const std::optional<Json>& wanted) {
    if (wanted && held && *held != *wanted) list.push_back({setting, *held, *wanted});
}

// The groups the profile names, with the instrument's choice in each ("none" where it gave
// none).
Json PlateOf(const engine::PlateDefaults& held, const Profile::Plate& named) {
    Json plate = Json::object();
    for (std::size_t i = 0; i < kPlateGroups.size(); ++i) {
        if (!named[i]) continue;
        plate[std::string(kPlateGroups[i].key)] =
            held[i] >= 0 ? Json(NameAt(kPlateChoiceNames, held[i])) : Json("none");
    }
    return plate;
}

std::string ValueText(const Json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_array()) {
        std::vector<std::string> texts;
        for (const Json& item : value)
            texts.push_back(ValueText(item));
        return Join(texts, " ");
    }
    if (value.is_object()) {
        std::vector<std::string> texts;
        for (const auto& [key, item] : value.items())
            texts.push_back(key + "=" + ValueText(item));
        return Join(texts, " ");
    }
    return value.dump();
}

}  // namespace

std::vector<Difference> Differences(const engine::InstrumentSettings& held, const Profile& wanted) {
    const auto mode = [](int m) { return Json(NameAt(kModeNames, m)); };
    const auto number = [](int n) { return Json(n); };
    const auto filters = [](const std::vector<int>& f) { return Json(f); };
    const auto measurement = [](const engine::Measurement& m) {
        return m.mode >= 0 ? Json(NameAt(kMeasurementNames, m.mode)) : Json(kNoPreset);
    };
    const Profile::Plate named = wanted.plate.value_or(Profile::Plate{});
    const auto plate = [&named](const engine::PlateDefaults& p) { return PlateOf(p, named); };

    const auto optional = [](const auto& value, auto shape) -> std::optional<Json> {
        if (!value) return std::nullopt;
        return shape(*value);
    };
    std::optional<Json> wantedPlate;
    if (wanted.plate) {
        engine::PlateDefaults positions{-1, -1, -1, -1};
        for (std::size_t i = 0; i < positions.size(); ++i)
            positions[i] = named[i].value_or(-1);
        wantedPlate = PlateOf(positions, named);
    }

    std::vector<Difference> list;
    Compare(list, "mode", HeldValue(held.mode, mode), optional(wanted.mode, mode));
    Compare(list, "baud", HeldValue(held.baud, number), optional(wanted.baud, number));
    Compare(list, "filters", HeldValue(held.filters, filters), optional(wanted.filters, filters));
    Compare(list, "measurement", HeldValue(held.measurement, measurement),
            optional(wanted.measurement, [](int m) { return Json(NameAt(kMeasurementNames, m)); }));
    Compare(list, "plate", HeldValue(held.plate, plate), wantedPlate);
    return list;
}

std::string DifferenceLine(const Difference& difference) {
    return difference.setting + ": " + ValueText(difference.instrument) + " -> " +
           ValueText(difference.profile);
}

}  // namespace cli
