// ValueString on arbitrary text: number conversions and their round trips through the append
// operations, splitting loops, deleting, trimming, column and cell names.
//
// Input: separator byte, separator text length (0-3), position, count (signed bytes), the
// separator text, then the text itself.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "support/ValueString.h"
#include "tests/fuzz/ByteReader.h"
#include "tests/fuzz/Check.h"

namespace {

bool IsWhiteSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsUpperLetters(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

std::size_t Count(const std::string& text, char c) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), c));
}

bool Near(double parsed, double value, double relative) {
    const double tolerance =
        relative * std::fabs(value) + std::numeric_limits<double>::denorm_min();
    return std::fabs(parsed - value) <= tolerance;
}

// Every number read out of the text, written back and read again, is the same number.
void CheckNumbers(const ValueString& value) {
    const std::int32_t asLong = value.ToLong();
    FUZZ_CHECK(value.ToInt() == asLong);
    ValueString decimal;
    decimal.AppendLong(asLong);
    FUZZ_CHECK(decimal.ToLong() == asLong);
    FUZZ_CHECK(decimal.IsInteger());
    FUZZ_CHECK(decimal.IsNumber());

    const std::uint32_t asULong = value.ToULong();
    ValueString unsignedText;
    unsignedText.AppendULong(asULong);
    FUZZ_CHECK(unsignedText.ToULong() == asULong);

    const std::int32_t asHex = value.HexToLong();
    ValueString hex;
    hex.AppendLongHex(asHex);
    FUZZ_CHECK(hex.HexToLong() == asHex);
    ValueString hexInt;
    hexInt.AppendIntHex(asHex);
    ValueString hexULong;
    hexULong.AppendULongHex(static_cast<std::uint32_t>(asHex));
    FUZZ_CHECK(hexInt.text == hex.text && hexULong.text == hex.text);

    const double asDouble = value.ToDouble();
    ValueString general;
    general.AppendDouble(asDouble);
    ValueString digits;
    digits.AppendDoubleDigits(asDouble);
    if (std::isfinite(asDouble)) {
        FUZZ_CHECK(Near(general.ToDouble(), asDouble, 1e-5));
        FUZZ_CHECK(Near(digits.ToDouble(), asDouble, 1e-14));
    }

    const float asFloat = value.ToFloat();
    ValueString floatDigits;
    floatDigits.AppendFloatDigits(asFloat);
    ValueString floatGeneral;
    floatGeneral.AppendFloat(asFloat);
    if (std::isfinite(asFloat)) {
        FUZZ_CHECK(Near(floatDigits.ToDouble(), asFloat, 1e-5));
        FUZZ_CHECK(Near(floatGeneral.ToDouble(), asFloat, 1e-5));
    }

    ValueString stripped(value);
    stripped.Trim();
    if (!stripped.text.empty() && std::all_of(stripped.text.begin(), stripped.text.end(),
                                              [](char c) { return c >= '0' && c <= '9'; })) {
        FUZZ_CHECK(value.IsInteger() && value.IsNumber());
    }
}

void CheckTrim(const ValueString& value) {
    ValueString trimmed(value);
    trimmed.Trim();
    if (!trimmed.text.empty()) {
        FUZZ_CHECK(!IsWhiteSpace(trimmed.text.front()) && !IsWhiteSpace(trimmed.text.back()));
    }
    FUZZ_CHECK(value.text.find(trimmed.text) != std::string::npos);
    ValueString again(trimmed);
    again.Trim();
    FUZZ_CHECK(again.text == trimmed.text);
}

void CheckNames(const ValueString& value, int position, int count) {
    const int column = value.ColumnIndex();
    if (column >= 0 && column <= 1351) {
        ValueString name;
        name.SetColumnName(column);
        FUZZ_CHECK(name.ColumnIndex() == column);
        if (!value.text.empty() && value.text.size() <= 3 && IsUpperLetters(value.text)) {
            FUZZ_CHECK(name.text == value.text);
        }
    }

    int col = -1;
    int row = -1;
    if (value.ParseCellName(col, row)) {
        FUZZ_CHECK(col >= 0 && row >= 0);
        if (col <= 1351) {
            ValueString cell;
            cell.SetCellName(col, row);
            int col2 = -1;
            int row2 = -1;
            FUZZ_CHECK(cell.ParseCellName(col2, row2));
            FUZZ_CHECK(col2 == col && row2 == row);
        }
    } else {
        FUZZ_CHECK(col == 0 && row == 0);
    }

    // Every named cell reads back as itself.
    const int namedCol = position * 11;
    const int namedRow = count * 1000003;
    if (namedCol >= 0 && namedCol <= 1351 && namedRow >= 0) {
        ValueString named;
        named.SetCellName(namedCol, namedRow);
        FUZZ_CHECK(named.ParseCellName(col, row));
        FUZZ_CHECK(col == namedCol && row == namedRow);
    }
}

// Splitting off pieces until nothing is left: each piece is free of the separator, the text
// shrinks with every step, and pieces and separators add up to the whole text.
void CheckCharSplits(const ValueString& value, char sep) {
    ValueString rest(value);
    std::size_t total = 0;
    while (!rest.text.empty()) {
        const std::size_t before = rest.text.size();
        const ValueString piece = rest.TakeHeadByChar(sep);
        FUZZ_CHECK(piece.text.find(sep) == std::string::npos);
        FUZZ_CHECK(rest.text.size() < before);
        total += piece.text.size();
    }
    FUZZ_CHECK(total == value.text.size() - Count(value.text, sep));

    rest = value;
    total = 0;
    while (!rest.text.empty()) {
        const std::size_t before = rest.text.size();
        const ValueString piece = rest.TakeTailByChar(sep);
        FUZZ_CHECK(piece.text.find(sep) == std::string::npos);
        FUZZ_CHECK(rest.text.size() < before);
        total += piece.text.size();
    }
    FUZZ_CHECK(total == value.text.size() - Count(value.text, sep));
}

void CheckTextSplits(const ValueString& value, const ValueString& sep) {
    if (sep.text.empty()) {
        // An empty separator stands at the start: nothing is split off and nothing changes.
        ValueString rest(value);
        FUZZ_CHECK(rest.TakeHeadByText(sep).text.empty() && rest.text == value.text);
        return;
    }
    for (const bool fromHead : {true, false}) {
        ValueString rest(value);
        std::size_t total = 0;
        while (!rest.text.empty()) {
            const std::size_t before = rest.text.size();
            const bool found = rest.text.find(sep.text) != std::string::npos;
            const ValueString piece =
                fromHead ? rest.TakeHeadByText(sep) : rest.TakeTailByText(sep);
            FUZZ_CHECK(rest.text.size() < before);
            FUZZ_CHECK(piece.text.find(sep.text) == std::string::npos);
            total += piece.text.size() + (found ? sep.text.size() : 0);
        }
        FUZZ_CHECK(total == value.text.size());
    }
}

void CheckRemoval(const ValueString& value, char c, const ValueString& sub) {
    ValueString withoutChar(value);
    withoutChar.RemoveAllChar(c);
    std::string expected = value.text;
    std::erase(expected, c);
    FUZZ_CHECK(withoutChar.text == expected);

    ValueString withoutText(value);
    withoutText.RemoveAllText(sub);
    if (sub.text.empty()) {
        FUZZ_CHECK(withoutText.text == value.text);
    } else {
        FUZZ_CHECK(withoutText.text.find(sub.text) == std::string::npos);
        FUZZ_CHECK((value.text.size() - withoutText.text.size()) % sub.text.size() == 0);
    }

    // The single forms delete one occurrence, if there is one.
    ValueString once(value);
    once.RemoveText(sub);
    const bool hasSub = value.text.find(sub.text) != std::string::npos;
    FUZZ_CHECK(once.text.size() == value.text.size() - (hasSub ? sub.text.size() : 0));
    ValueString onceChar(value);
    onceChar.RemoveChar(c);
    FUZZ_CHECK(onceChar.text.size() == value.text.size() - (Count(value.text, c) > 0 ? 1 : 0));
}

// What a position split returns and keeps are a prefix and a suffix of the text.
void CheckPositionSplits(const ValueString& value, int pos, int count) {
    const std::string& whole = value.text;
    ValueString rest(value);
    const ValueString head = rest.TakeHead(pos, count);
    FUZZ_CHECK(whole.starts_with(head.text) && whole.ends_with(rest.text));
    FUZZ_CHECK(head.text.size() + rest.text.size() <= whole.size());

    ValueString kept(value);
    const ValueString tail = kept.TakeTail(pos, count);
    FUZZ_CHECK(whole.starts_with(kept.text) && whole.ends_with(tail.text));
    FUZZ_CHECK(kept.text.size() + tail.text.size() <= whole.size());

    ValueString deleted(value);
    deleted.Delete(pos, std::max(count, 0));
    FUZZ_CHECK(deleted.text.size() <= whole.size());
    if (pos >= 0)
        FUZZ_CHECK(deleted.text.starts_with(
            whole.substr(0, std::min<std::size_t>(static_cast<std::size_t>(pos), whole.size()))));
}

// Code units below 0x80 come out as the same bytes.
void CheckWide(const std::string& bytes) {
    std::u16string wide;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    ValueString converted;
    converted.AppendWide(wide);
    FUZZ_CHECK(converted.text.size() <= wide.size());
    if (std::all_of(wide.begin(), wide.end(), [](char16_t u) { return u < 0x80; })) {
        FUZZ_CHECK(converted.text.size() == wide.size());
        FUZZ_CHECK(std::equal(wide.begin(), wide.end(), converted.text.begin(),
                              [](char16_t u, char c) { return u == static_cast<char16_t>(c); }));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_test::ByteReader input(data, size);
    const auto sepChar = static_cast<char>(input.Byte());
    const std::size_t sepLength = input.Byte() % 4;
    const int pos = static_cast<std::int8_t>(input.Byte());
    const int count = static_cast<std::int8_t>(input.Byte());
    const ValueString sep(input.Bytes(sepLength));
    const ValueString value(input.Rest());

    CheckNumbers(value);
    CheckTrim(value);
    CheckNames(value, pos, count);
    CheckCharSplits(value, sepChar);
    CheckTextSplits(value, sep);
    CheckRemoval(value, sepChar, sep);
    CheckPositionSplits(value, pos, count);
    CheckWide(value.text);
    return 0;
}
