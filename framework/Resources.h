#pragma once

// Process-wide resources by id: dialog templates, strings and icons. The resources library
// registers them at start-up; pages and sheets look them up by id.
//   framework::RegisterString(2004, "Could not connect instrument!");
//   std::string text = framework::LoadString(2004);
//   const framework::DialogTemplate* t = framework::FindTemplate(201);

#include <string>

#include "framework/DialogTemplate.h"

namespace framework {

// Registering an id again replaces the earlier entry.
void RegisterTemplate(DialogTemplate dialogTemplate);
// Null when no template has that id.
const DialogTemplate* FindTemplate(int id);

void RegisterString(int id, std::string text);
// "" when no string has that id.
std::string LoadString(int id);
bool HasString(int id);

// An icon is known by its resource id; 0 means no icon.
using IconHandle = int;
// data: the image file's bytes (PNG or SVG) for a host that draws it.
void RegisterIcon(int id, std::string data);
// The handle of a registered icon; 0 when none has that id.
IconHandle LoadIcon(int id);
// The image bytes of a registered icon; null when none.
const std::string* FindIconData(IconHandle icon);

}  // namespace framework
