#include <climits>
#include <cstdint>

#include "support/ValueString.h"

// Spreadsheet column names ('A' to 'AYZ') and cell references ('AB10').

ValueString& ValueString::SetColumnName(int column) {
    text.clear();
    if (column < 0) {
        text = "<>";
    } else if (column <= 25) {
        text += static_cast<char>('A' + column);
    } else if (column <= 701) {
        text += static_cast<char>(column / 26 + 64);
        text += static_cast<char>(column % 26 + 65);
    } else if (column <= 1351) {
        text += static_cast<char>(column / 676 + 64);
        text += static_cast<char>(column % 676 / 26 + 64);
        text += static_cast<char>(column % 26 + 65);
    }
    return *this;
}

// The sum of (byte - 64) * 26^k over the bytes, minus 1, with bytes read as signed 8-bit
// values. Horner's rule gives the same sum; once the running value leaves the int range it can
// only grow in size, so a result that does not fit an int is reported as -1 early.
int ValueString::ColumnIndex() const {
    std::int64_t sum = 0;
    for (const char c : text) {
        sum = sum * 26 + (static_cast<std::int8_t>(c) - 64);
        if (sum > std::int64_t{INT_MAX} + 1 || sum < std::int64_t{INT_MIN} + 1) return -1;
    }
    return static_cast<int>(sum - 1);
}

ValueString& ValueString::SetCellName(int col, int row) {
    SetColumnName(col);
    // Row INT_MAX names row 2147483648, which an int cannot carry.
    if (row < INT_MAX) {
        AppendInt(row + 1);
    } else {
        AppendULong(static_cast<std::uint32_t>(row) + 1u);
    }
    return *this;
}

BOOL ValueString::ParseCellName(int& col, int& row) const {
    col = 0;
    row = 0;
    ValueString rest(text);
    const auto digit = rest.text.find_first_of("0123456789");
    if (digit == std::string::npos || digit == 0 || digit > 3) return FALSE;
    const ValueString head = rest.TakeHead(static_cast<int>(digit), 0);
    const int column = head.ColumnIndex();
    const int number = rest.ToInt();
    // Checked before subtracting 1, so that a wrapped row number cannot overflow.
    if (column < 0 || number < 1) return FALSE;
    col = column;
    row = number - 1;
    return TRUE;
}
