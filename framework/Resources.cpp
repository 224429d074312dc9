#include "framework/Resources.h"

#include <map>

namespace framework {
namespace {

// Function-local statics: registration may run from other translation units' static objects.
std::map<int, DialogTemplate>& Templates() {
    static std::map<int, DialogTemplate> templates;
    return templates;
}

std::map<int, std::string>& Strings() {
    static std::map<int, std::string> strings;
    return strings;
}

std::map<int, std::string>& Icons() {
    static std::map<int, std::string> icons;
    return icons;
}

}  // namespace

void RegisterTemplate(DialogTemplate dialogTemplate) {
    const int id = dialogTemplate.id;
    Templates()[id] = std::move(dialogTemplate);
}

const DialogTemplate* FindTemplate(int id) {
    const auto found = Templates().find(id);
    return found == Templates().end() ? nullptr : &found->second;
}

void RegisterString(int id, std::string text) {
    Strings()[id] = std::move(text);
}

std::string LoadString(int id) {
    const auto found = Strings().find(id);
    return found == Strings().end() ? std::string() : found->second;
}

bool HasString(int id) {
    return Strings().count(id) != 0;
}

void RegisterIcon(int id, std::string data) {
    Icons()[id] = std::move(data);
}

IconHandle LoadIcon(int id) {
    return id != 0 && Icons().count(id) != 0 ? id : 0;
}

const std::string* FindIconData(IconHandle icon) {
    const auto found = Icons().find(icon);
    return icon == 0 || found == Icons().end() ? nullptr : &found->second;
}

}  // namespace framework
