#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "support/Bool.h"

// A text of 8-bit characters (any byte value, zero included) with the operations that read
// numbers out of it, append numbers and texts, split it, delete parts, and translate column and
// cell names. int and long are 32 bits in every rule here, whatever the platform's long is.
// Conversions and formatting never depend on the process locale.
//
// The operations are virtual and call each other through virtual dispatch (TakeHeadByChar calls
// TakeHead, RemoveChar calls Delete, ...), so overriding an inner operation changes the outer
// ones. Copying a ValueString copies its text.
class ValueString {
public:
    ValueString() = default;
    ValueString(std::string value) : text(std::move(value)) {}
    ValueString(const char* value) : text(value ? value : "") {}
    virtual ~ValueString() = default;
    ValueString(const ValueString&) = default;
    ValueString& operator=(const ValueString&) = default;
    ValueString(ValueString&&) = default;
    ValueString& operator=(ValueString&&) = default;

    virtual void Clear(int nReserve);
    virtual int ReverseFind(const std::string& sub) const;
    virtual BOOL IsInteger() const;
    virtual BOOL IsNumber() const;
    virtual int ToInt() const;
    virtual std::int32_t ToLong() const;
    virtual std::uint32_t ToULong() const;
    virtual double ToDouble() const;
    virtual float ToFloat() const;
    virtual std::int32_t HexToLong() const;
    virtual void AppendWide(const std::u16string& wide);
    virtual void AppendChar(char c);
    virtual void AppendText(const char* value);
    virtual void AppendString(const std::string& value);
    virtual void AppendDouble(double value);
    virtual void AppendFloat(float value);
    virtual void AppendULong(std::uint32_t value);
    virtual void AppendLong(std::int32_t value);
    virtual void AppendInt(int value);
    virtual void AppendDoubleDigits(double value);
    virtual void AppendFloatDigits(float value);
    virtual void AppendULongHex(std::uint32_t value);
    virtual void AppendLongHex(std::int32_t value);
    virtual void AppendIntHex(int value);
    virtual ValueString TakeHeadByText(const ValueString& sep);
    virtual ValueString TakeHeadByChar(char sep);
    virtual ValueString TakeHead(int pos, int count);
    virtual ValueString TakeTailByText(const ValueString& sep);
    virtual ValueString TakeTailByChar(char sep);
    virtual ValueString TakeTail(int pos, int count);
    virtual ValueString& RemoveText(const ValueString& sub);
    virtual ValueString& RemoveChar(char c);
    virtual ValueString& Delete(int pos, int count);
    virtual ValueString& RemoveAllText(const ValueString& sub);
    virtual ValueString& RemoveAllChar(char c);
    virtual ValueString& SetColumnName(int column);
    virtual int ColumnIndex() const;
    virtual ValueString& SetCellName(int col, int row);
    virtual BOOL ParseCellName(int& col, int& row) const;
    virtual int SetOsVersionText();

    // Removes white space (space, \t, \n, \v, \f, \r) at both ends.
    void Trim();

    std::string text;
};
