#include "support/StringTable.h"

#include <algorithm>
#include <new>
#include <stdexcept>

#include "support/TableElement.h"

using support::TableElement;
using support::TableObject;
using support::TextRow;

namespace {

using Guard = std::lock_guard<std::recursive_mutex>;

// Grows v to cover index; false, with v unchanged, when the memory cannot be had.
template <typename Vector>
bool Cover(Vector& v, int index) {
    const auto needed = static_cast<std::size_t>(index) + 1;
    if (v.size() >= needed) return true;
    try {
        v.resize(needed);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

bool AnyNegative(std::initializer_list<int> indices) {
    return std::any_of(indices.begin(), indices.end(), [](int index) { return index < 0; });
}

}  // namespace

StringTable::StringTable(int dimension) : m_dimension(dimension) {}

StringTable::~StringTable() {
    for (auto& element : m_elements)
        element.reset();
}

std::string StringTable::GetString(int i, int j, int k, int l) const {
    Guard guard(m_lock);
    const StringTable* sub = GetSubTable(i);
    return sub ? sub->GetString(j, k, l) : std::string();
}

std::string StringTable::GetString(int i, int j, int k) const {
    Guard guard(m_lock);
    const StringTable* sub = GetSubTable(i);
    return sub ? sub->GetString(j, k) : std::string();
}

std::string StringTable::GetString(int row, int col) const {
    Guard guard(m_lock);
    TableElement* element = GetElement(row);
    const TextRow* cells = element ? element->Row() : nullptr;
    if (!cells || col < 0 || static_cast<std::size_t>(col) >= cells->size()) return {};
    return (*cells)[static_cast<std::size_t>(col)];
}

std::string StringTable::GetString(int index) const {
    return GetString(0, index);
}

BOOL StringTable::SetString(int i, int j, int k, int l, const std::string& value) {
    if (AnyNegative({i, j, k, l})) return FALSE;
    Guard guard(m_lock);
    StringTable* sub = SubTableForWrite(i, 3);
    if (!sub || !sub->SetString(j, k, l, value)) return FALSE;
    RaiseMax(1, i);
    RaiseMax(2, j);
    RaiseMax(3, k);
    RaiseMax(4, l);
    return TRUE;
}

BOOL StringTable::SetString(int i, int j, int k, const std::string& value) {
    if (AnyNegative({i, j, k})) return FALSE;
    Guard guard(m_lock);
    StringTable* sub = SubTableForWrite(i, 2);
    if (!sub || !sub->SetString(j, k, value)) return FALSE;
    RaiseMax(1, i);
    RaiseMax(2, j);
    RaiseMax(3, k);
    return TRUE;
}

BOOL StringTable::SetString(int row, int col, const std::string& value) {
    if (AnyNegative({row, col})) return FALSE;
    Guard guard(m_lock);
    if (!Cover(m_elements, row)) return FALSE;
    auto& slot = m_elements[static_cast<std::size_t>(row)];
    if (!slot) {
        TextRow cells;
        if (m_presetSize[1] > 0 && !Cover(cells, m_presetSize[1] - 1)) return FALSE;
        slot = std::make_unique<TableElement>(std::move(cells));
        RaiseMax(1, row);
    }
    TextRow* cells = slot->Row();
    if (!cells || !Cover(*cells, col)) return FALSE;
    (*cells)[static_cast<std::size_t>(col)] = value;
    RaiseMax(1, row);
    RaiseMax(2, col);
    return TRUE;
}

BOOL StringTable::SetString(int index, const std::string& value) {
    Guard guard(m_lock);
    if (!SetString(0, index, value)) return FALSE;
    RaiseMax(1, index);
    return TRUE;
}

TableObject* StringTable::GetItem(int i, int j, int k, int l) const {
    Guard guard(m_lock);
    const StringTable* sub = GetSubTable(i);
    return sub ? sub->GetItem(j, k, l) : nullptr;
}

TableObject* StringTable::GetItem(int i, int j, int k) const {
    Guard guard(m_lock);
    const StringTable* sub = GetSubTable(i);
    return sub ? sub->GetItem(j, k) : nullptr;
}

TableObject* StringTable::GetItem(int i, int j) const {
    Guard guard(m_lock);
    const StringTable* sub = GetSubTable(i);
    return sub ? sub->GetItem(j) : nullptr;
}

TableObject* StringTable::GetItem(int i) const {
    Guard guard(m_lock);
    TableElement* element = GetElement(i);
    return element ? element->Object() : nullptr;
}

BOOL StringTable::SetItem(int i, int j, int k, int l, std::unique_ptr<TableObject> object) {
    if (AnyNegative({i, j, k, l})) return FALSE;
    Guard guard(m_lock);
    StringTable* sub = SubTableForWrite(i, 3);
    if (!sub || !sub->SetItem(j, k, l, std::move(object))) return FALSE;
    RaiseMax(1, i);
    RaiseMax(2, j);
    RaiseMax(3, k);
    RaiseMax(4, l);
    return TRUE;
}

BOOL StringTable::SetItem(int i, int j, int k, std::unique_ptr<TableObject> object) {
    if (AnyNegative({i, j, k})) return FALSE;
    Guard guard(m_lock);
    StringTable* sub = SubTableForWrite(i, 2);
    if (!sub || !sub->SetItem(j, k, std::move(object))) return FALSE;
    RaiseMax(1, i);
    RaiseMax(2, j);
    RaiseMax(3, k);
    return TRUE;
}

BOOL StringTable::SetItem(int i, int j, std::unique_ptr<TableObject> object) {
    if (AnyNegative({i, j})) return FALSE;
    Guard guard(m_lock);
    StringTable* sub = SubTableForWrite(i, 1);
    if (!sub || !sub->SetItem(j, std::move(object))) return FALSE;
    RaiseMax(1, i);
    RaiseMax(2, j);
    return TRUE;
}

BOOL StringTable::SetItem(int i, std::unique_ptr<TableObject> object) {
    if (i < 0) return FALSE;
    Guard guard(m_lock);
    if (!Cover(m_elements, i)) return FALSE;
    auto& slot = m_elements[static_cast<std::size_t>(i)];
    if (!slot) {
        if (object) slot = std::make_unique<TableElement>(std::move(object));
    } else if (auto* owner = slot->ObjectSlot()) {
        // Storing the object the table already owns must not delete it; any other object
        // replaces (and deletes) the one stored before.
        if (object.get() == owner->get()) {
            static_cast<void>(object.release());
        } else {
            *owner = std::move(object);
        }
    } else {
        return FALSE;
    }
    RaiseMax(1, i);
    return TRUE;
}

void StringTable::SetPresetSize(int level, int n) {
    if (n <= 0 || level < 1 || level > 4) return;
    Guard guard(m_lock);
    m_presetSize[level - 1] = n;
    // Best effort: without the memory the array simply grows later, element by element.
    if (level == 1) static_cast<void>(Cover(m_elements, n - 1));
}

int StringTable::GetMaxIndex(int level) const {
    if (level < 1 || level > 4) return -1;
    Guard guard(m_lock);
    return m_maxIndex[level - 1];
}

TextRow StringTable::GetRow(int i) const {
    Guard guard(m_lock);
    TableElement* element = GetElement(i);
    const TextRow* cells = element ? element->Row() : nullptr;
    return cells ? *cells : TextRow();
}

TableObject* StringTable::GetRowItem(int i) const {
    Guard guard(m_lock);
    TableElement* element = GetElement(i);
    return element ? element->Object() : nullptr;
}

StringTable* StringTable::GetSubTable(int i) const {
    Guard guard(m_lock);
    TableElement* element = GetElement(i);
    return element ? element->SubTable() : nullptr;
}

TableElement* StringTable::GetElement(int i) const {
    Guard guard(m_lock);
    if (i < 0 || static_cast<std::size_t>(i) >= m_elements.size()) return nullptr;
    return m_elements[static_cast<std::size_t>(i)].get();
}

StringTable* StringTable::SubTableForWrite(int i, int subDimension) {
    if (!Cover(m_elements, i)) return nullptr;
    auto& slot = m_elements[static_cast<std::size_t>(i)];
    if (!slot) {
        auto sub = std::make_unique<StringTable>(subDimension);
        // The sub-table serves the levels below this one.
        for (int level = 1; level <= subDimension; ++level) {
            sub->SetPresetSize(level, m_presetSize[level]);
        }
        slot = std::make_unique<TableElement>(std::move(sub));
    }
    return slot->SubTable();
}

void StringTable::RaiseMax(int level, int index) {
    m_maxIndex[level - 1] = std::max(m_maxIndex[level - 1], index);
}
