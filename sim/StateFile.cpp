#include "sim/StateFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "sim/Json.h"
#include "support/SafeFile.h"

namespace sim {
namespace {

struct IntField {
    std::string_view key;
    int State::*member;
};

constexpr std::array<IntField, 8> kIntFields{{
    {"mode", &State::mode},
    {"baud", &State::baud},
    {"filterMin", &State::filterMin},
    {"filterMax", &State::filterMax},
    {"flashes", &State::flashes},
    {"points", &State::points},
    {"distance", &State::distance},
    {"measurementMode", &State::measurementMode},
}};

constexpr long long kIntLimit = 1000000;
constexpr std::size_t kMaxFileSize = 65536;

std::string FieldError(std::string_view key, std::string_view what) {
    return "field \"" + std::string(key) + "\" " + std::string(what);
}

// Null when the object has no such field.
const json::Json* Field(const json::Json& object, std::string_view key) {
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

// Both of the library's integer kinds, the unsigned one above the signed range included.
bool SmallInteger(const json::Json& value, int& out) {
    long long n = 0;
    if (value.is_number_unsigned()) {
        const auto u = value.get<unsigned long long>();
        if (u > static_cast<unsigned long long>(kIntLimit)) return false;
        n = static_cast<long long>(u);
    } else if (value.is_number_integer()) {
        n = value.get<long long>();
        if (n < -kIntLimit || n > kIntLimit) return false;
    } else {
        return false;
    }
    out = static_cast<int>(n);
    return true;
}

bool ReadInt(const json::Json& object, std::string_view key, int& out, std::string& error) {
    const json::Json* field = Field(object, key);
    if (field == nullptr) return true;
    const json::Json& value = *field;
    if (!value.is_number_integer()) {
        error = FieldError(key, "must be an integer");
        return false;
    }
    if (!SmallInteger(value, out)) {
        error = FieldError(key, "is out of range");
        return false;
    }
    return true;
}

bool ReadList(const json::Json& object, std::string_view key, std::vector<int>& out,
              std::string& error) {
    const json::Json* field = Field(object, key);
    if (field == nullptr) return true;
    const json::Json& value = *field;
    bool ok = value.is_array();
    std::vector<int> numbers(ok ? value.size() : 0);
    for (std::size_t i = 0; ok && i < numbers.size(); ++i)
        ok = SmallInteger(value[i], numbers[i]);
    if (!ok) {
        error = FieldError(key, "must be a list of integers from -1000000 to 1000000");
        return false;
    }
    out = std::move(numbers);
    return true;
}

bool ReadText(const json::Json& object, std::string_view key, std::string& out,
              std::string& error) {
    const json::Json* field = Field(object, key);
    if (field == nullptr) return true;
    const json::Json& value = *field;
    if (!json::ToBytes(value, out)) {
        error = FieldError(key, "must be a string of characters up to U+00FF");
        return false;
    }
    return true;
}

bool ReadChar(const json::Json& object, std::string_view key, char& out, std::string& error) {
    std::string text(1, out);
    if (!ReadText(object, key, text, error)) return false;
    if (text.size() != 1) {
        error = FieldError(key, "must be one character");
        return false;
    }
    out = text[0];
    return true;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::string StateToJson(const State& s) {
    json::OrderedJson object;
    for (const IntField& f : kIntFields)
        object[std::string(f.key)] = s.*f.member;
    object["version"] = json::FromBytes(s.version);
    object["filters"] = s.filters;
    object["filterSeparator"] = json::FromBytes(std::string_view(&s.filterSeparator, 1));
    object["slideKind"] = json::FromBytes(std::string_view(&s.slideKind, 1));
    object["plate"] = s.plate;
    // One field per line, so the file reads and compares well by eye.
    std::string text = "{";
    for (const auto& [key, value] : object.items())
        text += (text.size() > 1 ? ",\n  " : "\n  ") + json::Dump(key) + ": " + json::Dump(value);
    return text + "\n}\n";
}

bool StateFromJson(std::string_view text, State& state, std::string& error) {
    json::Json object;
    if (!json::ParseObject(text, object, error)) return false;
    State s = state;
    for (const IntField& f : kIntFields) {
        if (!ReadInt(object, f.key, s.*f.member, error)) return false;
    }
    std::vector<int> plate(s.plate.begin(), s.plate.end());
    if (!ReadText(object, "version", s.version, error) ||
        !ReadChar(object, "filterSeparator", s.filterSeparator, error) ||
        !ReadChar(object, "slideKind", s.slideKind, error) ||
        !ReadList(object, "filters", s.filters, error) ||
        !ReadList(object, "plate", plate, error)) {
        return false;
    }
    if (plate.size() != s.plate.size()) {
        error = FieldError("plate", "must hold four integers");
        return false;
    }
    std::copy(plate.begin(), plate.end(), s.plate.begin());
    error = Validate(s);
    if (!error.empty()) return false;
    state = std::move(s);
    return true;
}

LoadResult LoadStateFile(const std::string& path, State& state, std::string& error) {
    const File file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        if (errno == ENOENT) return LoadResult::Missing;
        error = path + ": " + std::strerror(errno);
        return LoadResult::Failed;
    }
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
        text.append(buffer, n);
        if (text.size() > kMaxFileSize) break;
    }
    if (std::ferror(file.get()) || text.size() > kMaxFileSize) {
        error = path + ": cannot read the file, or it is too large";
        return LoadResult::Failed;
    }
    if (!StateFromJson(text, state, error)) {
        error = path + ": " + error;
        return LoadResult::Failed;
    }
    return LoadResult::Loaded;
}

bool SaveStateFile(const std::string& path, const State& state, std::string& error) {
    return support::WriteFileAtomically(path, StateToJson(state), error);
}

}  // namespace sim
