#include "sim/StateFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <unistd.h>

#include "sim/Json.h"

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

std::string List(const auto& numbers) {
    std::string text = "[";
    for (const auto n : numbers)
        text += (text.size() > 1 ? ", " : "") + std::to_string(n);
    return text + "]";
}

template <typename T>
bool Read(const json::Object& object, std::string_view key, T& out, std::string& error) {
    const auto it = object.find(key);
    if (it == object.end()) return true;
    if (const T* value = std::get_if<T>(&it->second)) {
        out = *value;
        return true;
    }
    error = "field \"" + std::string(key) + "\" has the wrong type";
    return false;
}

bool ReadChar(const json::Object& object, std::string_view key, char& out, std::string& error) {
    std::string text(1, out);
    if (!Read(object, key, text, error)) return false;
    if (text.size() != 1) {
        error = "field \"" + std::string(key) + "\" must be one character";
        return false;
    }
    out = text[0];
    return true;
}

bool InLimit(const std::vector<long long>& numbers) {
    return std::all_of(numbers.begin(), numbers.end(),
                       [](long long n) { return n >= -kIntLimit && n <= kIntLimit; });
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::string StateToJson(const State& s) {
    std::string text = "{\n";
    for (const IntField& f : kIntFields) {
        text += "  " + json::Quote(f.key) + ": " + std::to_string(s.*f.member) + ",\n";
    }
    text += "  \"version\": " + json::Quote(s.version) + ",\n";
    text += "  \"filters\": " + List(s.filters) + ",\n";
    text += "  \"filterSeparator\": " + json::Quote(std::string(1, s.filterSeparator)) + ",\n";
    text += "  \"slideKind\": " + json::Quote(std::string(1, s.slideKind)) + ",\n";
    text += "  \"plate\": " + List(s.plate) + "\n}\n";
    return text;
}

bool StateFromJson(std::string_view text, State& state, std::string& error) {
    json::Object object;
    if (!json::ParseObject(text, object, error)) return false;
    State s = state;
    for (const IntField& f : kIntFields) {
        long long value = s.*f.member;
        if (!Read(object, f.key, value, error)) return false;
        if (value < -kIntLimit || value > kIntLimit) {
            error = "field \"" + std::string(f.key) + "\" is out of range";
            return false;
        }
        s.*f.member = static_cast<int>(value);
    }
    std::vector<long long> filters(s.filters.begin(), s.filters.end());
    std::vector<long long> plate(s.plate.begin(), s.plate.end());
    if (!Read(object, "version", s.version, error) ||
        !ReadChar(object, "filterSeparator", s.filterSeparator, error) ||
        !ReadChar(object, "slideKind", s.slideKind, error) ||
        !Read(object, "filters", filters, error) || !Read(object, "plate", plate, error)) {
        return false;
    }
    if (!InLimit(filters) || !InLimit(plate) || plate.size() != s.plate.size()) {
        error = "fields \"filters\" and \"plate\" need small integers, \"plate\" four of them";
        return false;
    }
    s.filters.assign(filters.begin(), filters.end());
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
    const std::string temporary = path + ".tmp";
    const std::string text = StateToJson(state);
    File file(std::fopen(temporary.c_str(), "wb"));
    bool ok = file && std::fwrite(text.data(), 1, text.size(), file.get()) == text.size() &&
              std::fflush(file.get()) == 0 && fsync(fileno(file.get())) == 0;
    if (file) ok = std::fclose(file.release()) == 0 && ok;
    if (ok && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    error = path + ": " + std::strerror(errno);
    std::remove(temporary.c_str());
    return false;
}

}  // namespace sim
