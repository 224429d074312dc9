#pragma once

#include <array>
#include <string>
#include <string_view>

namespace device {

// The instrument's answers to the type query. The index is the instrument mode: it numbers the
// mode buttons of the wizard and the mode argument of a mode change.
inline constexpr std::string_view kTypeVeltrix = "+VT";
inline constexpr std::string_view kTypeMorvane = "+MV";
inline constexpr std::string_view kTypeDravell = "+DL";
inline constexpr std::string_view kTypeOxq = "+OQ";

inline constexpr int kIndexVeltrix = 0;
inline constexpr int kIndexMorvane = 1;
inline constexpr int kIndexDravell = 2;
inline constexpr int kIndexOxq = 3;

inline constexpr std::array<std::string_view, 4> kInstrumentTypes = {kTypeVeltrix, kTypeMorvane,
                                                                     kTypeDravell, kTypeOxq};

// Index of a type code (exact, case-sensitive comparison); -1 when no known instrument answered.
int InstrumentTypeIndex(std::string_view code);

// Type code of an index; empty text outside 0..3.
std::string InstrumentTypeCode(int index);

}  // namespace device
