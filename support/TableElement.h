#pragma once

#include <memory>
#include <variant>

#include "support/StringTable.h"

namespace support {

// One element of a StringTable, tagged with its shape, so that an element is only ever read
// as what it is: a text row, a sub-table, or an object stored by SetItem.
class TableElement {
public:
    using Value = std::variant<TextRow, std::unique_ptr<StringTable>, std::unique_ptr<TableObject>>;

    explicit TableElement(Value value) : m_value(std::move(value)) {}

    // Each view is null when the element has another shape.
    TextRow* Row() { return std::get_if<TextRow>(&m_value); }
    StringTable* SubTable() {
        auto* table = std::get_if<std::unique_ptr<StringTable>>(&m_value);
        return table ? table->get() : nullptr;
    }
    TableObject* Object() {
        auto* object = std::get_if<std::unique_ptr<TableObject>>(&m_value);
        return object ? object->get() : nullptr;
    }
    // The owner of the stored object; null when the element holds no object.
    std::unique_ptr<TableObject>* ObjectSlot() {
        return std::get_if<std::unique_ptr<TableObject>>(&m_value);
    }

private:
    Value m_value;
};

}  // namespace support
