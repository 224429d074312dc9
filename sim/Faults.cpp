#include "sim/Faults.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace sim {
namespace {

enum class Value { None, Text, Milliseconds };

struct KindInfo {
    std::string_view name;
    FaultKind kind;
    Value value;
    std::string_view defaultText;  // also makes a value optional
    std::string_view defaultOn;
    std::string_view help;
};

constexpr std::array<KindInfo, 10> kKinds{{
    {"busy", FaultKind::Reply, Value::Text, "B", "?", "answer ready polls with TEXT (default B)"},
    {"err", FaultKind::Reply, Value::Text, "ERR 12 plate jam", "?",
     "answer ready polls with an error (default ERR 12 plate jam)"},
    {"reply", FaultKind::Reply, Value::Text, "", "", "answer TEXT and do not execute"},
    {"silence", FaultKind::Silence, Value::None, "", "", "do not execute and do not answer"},
    {"checksum", FaultKind::BadChecksum, Value::None, "", "",
     "wrong checksum in the reply (Veltrix mode)"},
    {"nocr", FaultKind::NoCr, Value::None, "", "", "no CR at the end of the reply"},
    {"stray-cr", FaultKind::StrayCr, Value::None, "", "", "a CR before the reply"},
    {"stray-etx", FaultKind::StrayEtx, Value::None, "", "", "an ETX before the reply"},
    {"delay", FaultKind::Delay, Value::Milliseconds, "", "",
     "wait MS milliseconds before replying"},
    {"pace", FaultKind::Pace, Value::None, "", "", "send at the baud rate, 10 bits per byte"},
}};

constexpr int kMaxDelayMs = 60000;

bool ParseInt(std::string_view text, int& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

bool StartsWith(std::string_view text, std::string_view head) {
    return text.substr(0, head.size()) == head;
}

}  // namespace

bool ParseFault(std::string_view text, Fault& fault, std::string& error) {
    std::string_view on;
    bool hasOn = false;
    if (const auto pos = text.find(",on="); pos != std::string_view::npos) {
        on = text.substr(pos + 4);
        text = text.substr(0, pos);
        hasOn = true;
    }
    const std::string_view head = text.substr(0, text.find(','));
    const auto eq = head.find('=');
    const std::string_view name = head.substr(0, eq);
    const KindInfo* info = nullptr;
    for (const KindInfo& k : kKinds) {
        if (k.name == name) info = &k;
    }
    if (info == nullptr) {
        error = "unknown fault '" + std::string(name) + "'";
        return false;
    }
    Fault result;
    result.kind = info->kind;
    result.on = hasOn ? std::string(on) : std::string(info->defaultOn);
    if (eq == std::string_view::npos) {
        if (info->value != Value::None && info->defaultText.empty()) {
            error = "fault '" + std::string(name) + "' needs a value";
            return false;
        }
        result.text = info->defaultText;
    } else {
        const std::string_view value = head.substr(eq + 1);
        if (info->value == Value::None) {
            error = "fault '" + std::string(name) + "' takes no value";
            return false;
        }
        if (info->value == Value::Milliseconds) {
            if (!ParseInt(value, result.delayMs) || result.delayMs < 0 ||
                result.delayMs > kMaxDelayMs) {
                error = "delay must be 0 to 60000 ms";
                return false;
            }
        } else {
            result.text = value;
        }
    }
    // Every part after the first comma is a "times=N".
    for (std::string_view rest = text.substr(head.size()); !rest.empty();) {
        rest.remove_prefix(1);
        const std::string_view option = rest.substr(0, rest.find(','));
        rest.remove_prefix(option.size());
        if (!StartsWith(option, "times=") || !ParseInt(option.substr(6), result.times) ||
            result.times < 1) {
            error = "expected times=N (N >= 1) or on=COMMAND, got '" + std::string(option) + "'";
            return false;
        }
    }
    fault = std::move(result);
    return true;
}

std::string FaultHelp() {
    std::string help;
    for (const KindInfo& k : kKinds) {
        std::string name(k.name);
        if (k.value == Value::Text) name += k.defaultText.empty() ? "=TEXT" : "[=TEXT]";
        if (k.value == Value::Milliseconds) name += "=MS";
        help += "    " + name + std::string(name.size() < 18 ? 18 - name.size() : 1, ' ');
        help += std::string(k.help) + "\n";
    }
    return help;
}

FaultEffects FaultSet::Take(std::string_view command) {
    FaultEffects effects;
    for (Fault& f : m_faults) {
        if (f.times == 0 || !StartsWith(command, f.on)) continue;
        if (f.times > 0) --f.times;
        switch (f.kind) {
            case FaultKind::Reply:
                if (!effects.reply) effects.reply = f.text;
                break;
            case FaultKind::Silence:
                effects.silent = true;
                break;
            case FaultKind::BadChecksum:
                effects.badChecksum = true;
                break;
            case FaultKind::NoCr:
                effects.noCr = true;
                break;
            case FaultKind::StrayCr:
                effects.strayCr = true;
                break;
            case FaultKind::StrayEtx:
                effects.strayEtx = true;
                break;
            case FaultKind::Delay:
                effects.delayMs += f.delayMs;
                break;
            case FaultKind::Pace:
                effects.pace = true;
                break;
        }
    }
    std::erase_if(m_faults, [](const Fault& f) { return f.times == 0; });
    return effects;
}

}  // namespace sim
