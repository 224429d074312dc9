#pragma once

#include <string>

namespace framework {

// The name the process was started with, without folders (and on Windows without ".exe"):
// the application's title. One file per platform.
std::string ProcessName();

// A program path's base name by the same rule: "/usr/bin/app" and "C:\bin\app.exe" give "app".
std::string ProgramBaseName(const std::string& path);

}  // namespace framework
