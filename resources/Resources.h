#pragma once

// Registers the program's resources (strings, dialog templates, icons) with the framework.
// Called once at start-up, and by tests before they build a sheet.
namespace resources {

void RegisterResources();

// The parts, each in a file of its own.
void RegisterStrings();
void RegisterDialogTemplates();
void RegisterIcons();

}  // namespace resources
