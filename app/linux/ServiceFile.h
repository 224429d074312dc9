#pragma once

// The D-Bus activation file that lets the session bus start the program for an automation
// client: the registration that a normal start keeps up to date.
//   std::string error;
//   if (!app::WriteServiceFile(app::ServiceFilePath(), "/usr/bin/veltrix-instrument-settings",
//                              error)) ...

#include <string>

namespace app {

// $XDG_DATA_HOME/dbus-1/services/<bus name>.service, with ~/.local/share for an unset or
// relative XDG_DATA_HOME; "" when neither it nor HOME is known.
std::string ServiceFilePath();

// The file's text: the bus name and the program started with -Automation. A path with
// characters that the bus would split or interpret is quoted.
std::string ServiceFileText(const std::string& executable);

// Writes the file (and its folders) unless it already holds exactly this text; a temporary
// file is renamed over it, so no reader ever sees half a file. False with the reason.
bool WriteServiceFile(const std::string& path, const std::string& executable, std::string& error);

// Deletes the file; one that is not there counts as deleted. False with the reason.
bool RemoveServiceFile(const std::string& path, std::string& error);

}  // namespace app
