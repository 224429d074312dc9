#pragma once

// Texts of the model are bytes in the single-byte code page (Windows-1252); the screen wants
// QString. Both directions live here so that every widget and box converts the same way.
//   label->setText(framework::qt::FromCodePage(control.Text()));
//   dialog.TypeText(id, framework::qt::ToCodePage(edit->text()));

#include <QString>
#include <string>
#include <string_view>

namespace framework::qt {

// Bytes 0x80-0x9F map by the code page's table (the five it leaves undefined keep their own
// control character), every other byte as Latin-1. The text ends at the first zero byte, as a
// C string shown by the platform would.
QString FromCodePage(std::string_view bytes);

// Characters the code page cannot hold become '?'.
std::string ToCodePage(const QString& text);

}  // namespace framework::qt
