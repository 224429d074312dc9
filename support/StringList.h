#pragma once

#include <cstdint>
#include <string>

#include "support/StringTable.h"

// A one-column list of texts addressed by a row index: the one-index text operations address
// the cell (index, 0). GetLong and SetLong address the cell (0, index) and pair with each other.
class StringList : public StringTable {
public:
    StringList();

    using StringTable::GetString;
    using StringTable::SetString;
    std::string GetString(int index) const override;
    BOOL SetString(int index, const std::string& value) override;

    // The highest row written; -1 when empty.
    virtual int GetLastIndex() const;
    virtual void SetPresetCount(int n);
    virtual std::int32_t GetLong(int index) const;
    virtual void SetLong(int index, std::int32_t value);
};
