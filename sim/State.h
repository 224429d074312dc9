#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// Instrument modes by index: the native mode and the three emulations.
inline constexpr int kModeVeltrix = 0;
inline constexpr int kModeMorvane = 1;
inline constexpr int kModeDravell = 2;
inline constexpr int kModeOxq = 3;
inline constexpr int kModeCount = 4;

// "+VT", "+MV", "+DL", "+OQ"; empty for an index outside 0..3.
std::string_view TypeCode(int mode);
// Mode by index ("0".."3") or by name ("veltrix", "morvane", "dravell", "oxq"); -1 when neither.
int ModeFromText(std::string_view text);

// What the instrument's own line looks like through a pseudo-terminal: the speed and whether
// it uses two stop bits (the OXQ mode's 7 data bits, even parity, 2 stop bits) or one.
struct Line {
    int baud = 9600;
    bool twoStopBits = false;
    bool operator==(const Line&) const = default;
};

Line LineOf(int mode, int baud);
bool IsSupportedBaud(int baud);

// Measurement presets by index: Normal, Accuracy, Center. Any other triple is mode 3, Custom.
inline constexpr int kCustomMeasurement = 3;
struct Measurement {
    int flashes;
    int points;
    int distance;
};
inline constexpr std::array<Measurement, 3> kMeasurementPresets{{
    {8, 3, 440},
    {55, 3, 440},
    {22, 1, 175},
}};
int PresetIndex(int flashes, int points, int distance);

// Everything the instrument knows about itself; "DB CNF WRITE" keeps a copy of it.
struct State {
    int mode = kModeVeltrix;
    int baud = 9600;
    std::string version = "V 3.10";
    std::vector<int> filters{405, 450, 492, 550, 600, 620};  // four or six positions, 0 = empty
    char filterSeparator = '-';                              // '-', '/' or ' '
    char slideKind = 'I';  // answer to "FC 0" after its '+': 'I' six positions, '?' no slide
    int filterMin = 340;
    int filterMax = 750;
    int flashes = 8;
    int points = 3;
    int distance = 440;
    int measurementMode = 0;
    std::array<int, 4> plate{2, 2, 3, 3};  // power on, end of measurement, remote on, remote off

    bool operator==(const State&) const = default;
};

// The filter table as the instrument reports it, e.g. "405-450-492-550-600-620".
std::string FilterTableText(const State& state);

// Version as a number: "V 3.10" gives 3100, "V 3.05" 3050, "V 3.1" 3100; 0 when the text holds
// no "digits.digits".
int VersionNumber(std::string_view versionText);
inline constexpr int kPlateSettingsVersion = 3100;

// Empty when every field is in its range, else what is wrong.
std::string Validate(const State& state);

}  // namespace sim
