#include "support/StringList.h"

#include "support/ValueString.h"

StringList::StringList() : StringTable(1) {}

std::string StringList::GetString(int index) const {
    return GetString(index, 0);
}

BOOL StringList::SetString(int index, const std::string& value) {
    return SetString(index, 0, value);
}

int StringList::GetLastIndex() const {
    return GetMaxIndex(1);
}

void StringList::SetPresetCount(int n) {
    SetPresetSize(1, n);
}

std::int32_t StringList::GetLong(int index) const {
    return ValueString(StringTable::GetString(index)).ToLong();
}

void StringList::SetLong(int index, std::int32_t value) {
    ValueString number;
    number.AppendLong(value);
    StringTable::SetString(index, number.text);
}
