#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "support/Bool.h"

namespace support {

// Base of the objects a StringTable can own; the table deletes them through this destructor.
class TableObject {
public:
    virtual ~TableObject() = default;
};

// A row of texts, indexed by column.
using TextRow = std::vector<std::string>;

// An element of a table: a text row, a sub-table or an owned object (defined in TableElement.h).
class TableElement;

}  // namespace support

// A sparse, thread-safe table of texts addressed by one to four non-negative indices, created
// on demand when written; a cell never written reads as "". It can hold owned objects instead of
// texts. With three or four indices (texts) or two to four (objects), the first index selects a
// sub-table that receives the remaining indices.
//
// Every operation holds the table's recursive lock; reaching into a sub-table takes its lock
// too, always from the outer table inward. Writes with a negative index, or into an element of
// another shape (a text row addressed as a sub-table, ...), change nothing and return FALSE;
// such reads give "" or null. Destruction is not synchronised with other users.
class StringTable {
public:
    explicit StringTable(int dimension);
    virtual ~StringTable();
    StringTable(const StringTable&) = delete;
    StringTable& operator=(const StringTable&) = delete;

    virtual std::string GetString(int i, int j, int k, int l) const;
    virtual std::string GetString(int i, int j, int k) const;
    virtual std::string GetString(int row, int col) const;
    virtual std::string GetString(int index) const;
    virtual BOOL SetString(int i, int j, int k, int l, const std::string& value);
    virtual BOOL SetString(int i, int j, int k, const std::string& value);
    virtual BOOL SetString(int row, int col, const std::string& value);
    virtual BOOL SetString(int index, const std::string& value);
    virtual support::TableObject* GetItem(int i, int j, int k, int l) const;
    virtual support::TableObject* GetItem(int i, int j, int k) const;
    virtual support::TableObject* GetItem(int i, int j) const;
    virtual support::TableObject* GetItem(int i) const;
    virtual BOOL SetItem(int i, int j, int k, int l, std::unique_ptr<support::TableObject> object);
    virtual BOOL SetItem(int i, int j, int k, std::unique_ptr<support::TableObject> object);
    virtual BOOL SetItem(int i, int j, std::unique_ptr<support::TableObject> object);
    virtual BOOL SetItem(int i, std::unique_ptr<support::TableObject> object);
    virtual void SetPresetSize(int level, int n);
    virtual int GetMaxIndex(int level) const;
    // Copy of the text row at element i; empty when element i is not a text row.
    virtual support::TextRow GetRow(int i) const;
    virtual support::TableObject* GetRowItem(int i) const;
    virtual StringTable* GetSubTable(int i) const;
    virtual support::TableElement* GetElement(int i) const;

    // The number of indices this table serves.
    int GetDimension() const { return m_dimension; }

private:
    // The caller holds m_lock. Sub-table at element i, created (with the presets passed down
    // one level) when the slot is empty; null when i < 0 or the element has another shape.
    StringTable* SubTableForWrite(int i, int subDimension);
    void RaiseMax(int level, int index);

    mutable std::recursive_mutex m_lock;
    std::vector<std::unique_ptr<support::TableElement>> m_elements;
    int m_dimension;
    int m_maxIndex[4] = {-1, -1, -1, -1};
    int m_presetSize[4] = {-1, -1, -1, -1};
};
