#include "sim/Json.h"

#include <cstdio>

namespace sim::json {

std::string Quote(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

namespace {

class Parser {
public:
    explicit Parser(std::string_view text) : m_text(text) {}

    bool ParseObject(Object& object) {
        if (!Expect('{')) return false;
        if (Peek() == '}') return Expect('}') && AtEnd();
        do {
            std::string key;
            Value value;
            if (!ParseString(key) || !Expect(':') || !ParseValue(value)) return false;
            object[key] = std::move(value);
        } while (Accept(','));
        return Expect('}') && AtEnd();
    }

    std::string Error() const { return m_error + " at offset " + std::to_string(m_pos); }

private:
    char Peek() {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\n' ||
                                         m_text[m_pos] == '\r' || m_text[m_pos] == '\t')) {
            ++m_pos;
        }
        return m_pos < m_text.size() ? m_text[m_pos] : '\0';
    }
    bool Accept(char c) {
        if (Peek() != c) return false;
        ++m_pos;
        return true;
    }
    bool Expect(char c) { return Accept(c) || Fail(std::string("expected '") + c + "'"); }
    bool Fail(std::string message) {
        if (m_error.empty()) m_error = std::move(message);
        return false;
    }
    bool AtEnd() { return Peek() == '\0' || Fail("unexpected text after the object"); }

    bool ParseValue(Value& value) {
        const char c = Peek();
        if (c == '"') {
            std::string text;
            if (!ParseString(text)) return false;
            value = std::move(text);
            return true;
        }
        if (c == '[') {
            ++m_pos;
            std::vector<long long> numbers;
            if (!Accept(']')) {
                do {
                    long long n = 0;
                    if (!ParseInteger(n)) return false;
                    numbers.push_back(n);
                } while (Accept(','));
                if (!Expect(']')) return false;
            }
            value = std::move(numbers);
            return true;
        }
        long long n = 0;
        if (!ParseInteger(n)) return false;
        value = n;
        return true;
    }

    bool ParseInteger(long long& n) {
        Peek();
        const bool negative = m_pos < m_text.size() && m_text[m_pos] == '-';
        if (negative) ++m_pos;
        const std::size_t start = m_pos;
        n = 0;
        while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') {
            if (m_pos - start >= 12) return Fail("number too long");
            n = n * 10 + (m_text[m_pos++] - '0');
        }
        if (m_pos == start) return Fail("expected an integer");
        if (negative) n = -n;
        return true;
    }

    static int HexDigit(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    bool ParseString(std::string& out) {
        if (!Expect('"')) return false;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos++];
            if (c == '"') return true;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_pos >= m_text.size()) break;
            const char e = m_text[m_pos++];
            if (e == 'u') {
                // Exactly four hexadecimal digits, for one byte of the code page.
                unsigned code = 0;
                for (int i = 0; i < 4; ++i, ++m_pos) {
                    const int digit = m_pos < m_text.size() ? HexDigit(m_text[m_pos]) : -1;
                    if (digit < 0) return Fail("unsupported \\u escape");
                    code = code * 16 + static_cast<unsigned>(digit);
                }
                if (code > 0xFF) return Fail("unsupported \\u escape");
                out += static_cast<char>(code);
            } else if (e == '"' || e == '\\' || e == '/') {
                out += e;
            } else if (e == 'n' || e == 'r' || e == 't') {
                out += e == 'n' ? '\n' : e == 'r' ? '\r' : '\t';
            } else {
                return Fail("unsupported escape");
            }
        }
        return Fail("unterminated string");
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::string m_error;
};

}  // namespace

bool ParseObject(std::string_view text, Object& object, std::string& error) {
    Parser parser(text);
    Object parsed;
    if (!parser.ParseObject(parsed)) {
        error = parser.Error();
        return false;
    }
    object = std::move(parsed);
    return true;
}

}  // namespace sim::json
