#include "cli/Report.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "cli/Text.h"

namespace cli {
namespace {

using Json = nlohmann::ordered_json;

// Texts from the line may hold any byte: invalid UTF-8 is replaced, not fatal.
std::string Dump(const Json& doc) {
    return doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

Json TextOrNull(const std::string& text) {
    return text.empty() ? Json(nullptr) : Json(text);
}

// Columns padded to their widest cell, two blanks apart; the last column is not padded.
std::string Table(const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], Printable(row[i]).size());
    }
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            const std::string cell = Printable(row[i]);
            line += cell;
            if (i + 1 < row.size()) line += std::string(widths[i] - cell.size() + 2, ' ');
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        text += line + "\n";
    }
    return text;
}

std::string OrDash(const std::string& text) {
    return text.empty() ? "-" : text;
}

// A box's lines joined by "; ", so each port keeps to one row.
std::string Flat(const std::string& text) {
    std::string flat;
    for (const char c : text) {
        if (c == '\n') {
            flat += "; ";
        } else {
            flat += c;
        }
    }
    while (!flat.empty() && (flat.back() == ' ' || flat.back() == ';'))
        flat.pop_back();
    return flat;
}

}  // namespace

std::string ResultsJson(const std::vector<PortResult>& results) {
    Json rows = Json::array();
    for (const PortResult& r : results) {
        Json row;
        row["port"] = r.port;
        row["model"] = TextOrNull(r.model);
        row["firmware"] = TextOrNull(r.firmware);
        row["changed"] = r.changed;
        row["saved"] = r.saved;
        row["ok"] = r.ok;
        row["messages"] = r.messages;
        row["error"] = TextOrNull(r.error);
        Json differences = Json::array();
        for (const Difference& d : r.differences)
            differences.push_back(
                {{"setting", d.setting}, {"instrument", d.instrument}, {"profile", d.profile}});
        row["differences"] = differences;
        Json failures = Json::array();
        for (const Failure& f : r.failures)
            failures.push_back(
                {{"setting", TextOrNull(f.setting)}, {"command", f.command}, {"cause", f.cause}});
        row["failures"] = failures;
        if (!r.baud.empty()) {
            row["baud"] = std::stoi(r.baud);
            row["line"] = r.line;
        }
        if (r.profile) row["profile"] = ProfileDocument(*r.profile);
        rows.push_back(row);
    }
    Json doc;
    doc["results"] = rows;
    return Dump(doc);
}

std::string PortsJson(const std::vector<std::string>& labels) {
    Json doc;
    doc["ports"] = labels;
    return Dump(doc);
}

std::string SummaryTable(const std::vector<PortResult>& results, bool comparing) {
    std::vector<std::vector<std::string>> rows;
    if (comparing) {
        rows.push_back({"PORT", "MODEL", "FIRMWARE", "PROFILE", "MESSAGES"});
    } else {
        rows.push_back({"PORT", "MODEL", "FIRMWARE", "CHANGED", "SAVED", "MESSAGES"});
    }
    for (const PortResult& r : results) {
        // A comparison's differences have lines of their own (DifferenceLines); they come first.
        const std::size_t shown = comparing ? std::min(r.differences.size(), r.messages.size()) : 0;
        std::string messages;
        for (std::size_t i = shown; i < r.messages.size(); ++i)
            messages += (messages.empty() ? "" : " | ") + Flat(r.messages[i]);
        // Only a reader whose every setting could be read matches or differs; differing is
        // said by its column.
        const bool compared = r.failures.empty() && (r.ok || !r.differences.empty());
        if (!r.ok && !(comparing && compared)) {
            messages += std::string(messages.empty() ? "" : " | ") + "FAILED: " + r.error;
        }
        std::vector<std::string> row = {r.port, OrDash(r.model), OrDash(r.firmware)};
        if (comparing) {
            row.push_back(!compared ? "-" : r.differences.empty() ? "matches" : "differs");
        } else {
            row.push_back(r.changed ? "changed" : "unchanged");
            row.push_back(r.saved ? "saved" : "not saved");
        }
        row.push_back(messages);
        rows.push_back(row);
    }
    return Table(rows);
}

std::string DifferenceLines(const std::vector<PortResult>& results) {
    std::string text;
    for (const PortResult& r : results) {
        for (const Difference& d : r.differences)
            text += Printable(r.port + ": " + DifferenceLine(d)) + "\n";
    }
    return text;
}

std::string FoundTable(const std::vector<PortResult>& results) {
    std::vector<std::vector<std::string>> rows = {{"PORT", "BAUD", "LINE", "MODEL", "FIRMWARE"}};
    for (const PortResult& r : results) {
        if (r.ok) {
            rows.push_back({r.port, r.baud, r.line, r.model, OrDash(r.firmware)});
        } else {
            rows.push_back({r.port, "-", "-", "-", "-  (" + r.error + ")"});
        }
    }
    return Table(rows);
}

}  // namespace cli
