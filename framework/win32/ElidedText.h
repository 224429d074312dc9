#pragma once

// One line of text that must fit a width: the longest word (a port's name, as a rule) gives up
// its middle to "...", so that both ends stay readable; the rest of the line stays whole when
// it can.
//   std::string shown = ElideLongestWord(text, [dc](std::string_view s) { return Width(dc, s); },
//                                        pixels);

#include <functional>
#include <string>
#include <string_view>

namespace framework::win32 {

// measure: the width of a text in pixels, as it will be drawn.
using MeasureText = std::function<int(std::string_view)>;

std::string ElideLongestWord(const std::string& text, const MeasureText& measure, int width);

}  // namespace framework::win32
