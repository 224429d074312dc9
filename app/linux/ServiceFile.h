#pragma once

// The D-Bus activation file that lets the session bus start the program for an automation
// client. The package installs one for the installed program; a start writes the per-user one
// only when no such file serves: when none in the system folders names a program that exists,
// and the per-user file is missing, cannot be read or names a program that is gone. A per-user
// file that names another program that exists (another build, say) is left as it is, so a start
// of any build never takes the registration away from another.
//   std::string error;
//   if (!app::UpdateServiceFile(app::ServiceFilePath(), app::SystemServiceFolders(),
//                               "/usr/bin/veltrix-instrument-settings", error)) ...

#include <optional>
#include <string>
#include <vector>

namespace app {

// $XDG_DATA_HOME/dbus-1/services/<bus name>.service, with ~/.local/share for an unset or
// relative XDG_DATA_HOME; "" when neither it nor HOME is known.
std::string ServiceFilePath();
// The folders where the bus finds the system's activation files: dbus-1/services under each
// folder of $XDG_DATA_DIRS (/usr/local/share:/usr/share when unset), and under /usr/share.
std::vector<std::string> SystemServiceFolders();

// The file's text: the bus name and the program started with -Automation. The path is quoted
// for the bus's command-line splitting, and that is escaped as the file's values are (a
// backslash, tab or line break).
std::string ServiceFileText(const std::string& executable);
// The program that a service file's text starts for our bus name, read back as the bus reads
// it; nothing when the text is not such a file.
std::optional<std::string> ServiceFileProgram(const std::string& text);

// Writes the per-user file at `path` when it is needed (see above), atomically, with its
// folders. True when it was written or not needed; false with the reason.
bool UpdateServiceFile(const std::string& path, const std::vector<std::string>& systemFolders,
                       const std::string& executable, std::string& error);

// Deletes the file; one that is not there counts as deleted. False with the reason.
bool RemoveServiceFile(const std::string& path, std::string& error);

}  // namespace app
