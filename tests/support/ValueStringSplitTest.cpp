#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/ValueString.h"

namespace {

struct SplitCase {
    const char* text;
    int pos;
    int count;
    const char* returned;
    const char* left;
};

TEST(ValueStringSplit, TakeHeadByPosition) {
    const SplitCase cases[] = {
        {"abcdef", 2, 1, "ab", "def"},
        {"abcdef", 2, 0, "ab", "cdef"},
        {"abcdef", 2, 4, "ab", ""},
        {"abcdef", 2, 100, "ab", ""},
        {"abcdef", 2, INT_MAX, "ab", ""},
        {"abcdef", 2, -3, "ab", "cdef"},
        {"abcdef", -1, 1, "", "abcdef"},
        {"abcdef", INT_MIN, 1, "", "abcdef"},
        {"abcdef", 6, 1, "abcdef", ""},
        {"abcdef", INT_MAX, INT_MAX, "abcdef", ""},
        {"", 0, 1, "", ""},
    };
    for (const auto& c : cases) {
        ValueString value(c.text);
        EXPECT_EQ(value.TakeHead(c.pos, c.count).text, c.returned) << c.pos << "," << c.count;
        EXPECT_EQ(value.text, c.left) << c.pos << "," << c.count;
    }
}

TEST(ValueStringSplit, TakeTailByPosition) {
    const SplitCase cases[] = {
        {"abcdef", 2, 1, "def", "ab"},
        {"abcdef", 2, 0, "cdef", "ab"},
        {"abcdef", 2, 100, "", "ab"},
        {"abcdef", 2, INT_MAX, "", "ab"},
        {"abcdef", 2, -3, "cdef", "ab"},
        {"abcdef", -1, 1, "abcdef", ""},
        {"abcdef", 6, 1, "", "abcdef"},
        {"abcdef", INT_MAX, INT_MAX, "", "abcdef"},
        {"", 0, 1, "", ""},
    };
    for (const auto& c : cases) {
        ValueString value(c.text);
        EXPECT_EQ(value.TakeTail(c.pos, c.count).text, c.returned) << c.pos << "," << c.count;
        EXPECT_EQ(value.text, c.left) << c.pos << "," << c.count;
    }
}

TEST(ValueStringSplit, SeparatorForms) {
    ValueString port("PORT:COM3");
    EXPECT_EQ(port.TakeTailByChar(':').text, "COM3");
    EXPECT_EQ(port.text, "PORT");
    EXPECT_EQ(port.TakeTailByChar(':').text, "PORT");
    EXPECT_EQ(port.text, "");

    ValueString list("a, b, c");
    EXPECT_EQ(list.TakeHeadByText(", ").text, "a");
    EXPECT_EQ(list.text, "b, c");
    EXPECT_EQ(list.TakeTailByText(", ").text, "c");
    EXPECT_EQ(list.text, "b");
    EXPECT_EQ(list.TakeHeadByText(", ").text, "b");
    EXPECT_EQ(list.text, "");

    ValueString key("\\Device\\Serial0");
    EXPECT_EQ(key.TakeTailByText("\\").text, "Serial0");
    EXPECT_EQ(key.text, "\\Device");

    // An empty separator stands at the start (head) or the end (tail): nothing moves.
    ValueString same("abc");
    EXPECT_EQ(same.TakeHeadByText("").text, "");
    EXPECT_EQ(same.TakeTailByText("").text, "");
    EXPECT_EQ(same.text, "abc");
}

TEST(ValueStringSplit, RepeatedHeadsWalkThroughAList) {
    ValueString reply("2 2 3 3");
    std::vector<std::string> parts;
    for (int i = 0; i < 5; ++i)
        parts.push_back(reply.TakeHeadByChar(' ').text);
    EXPECT_EQ(parts, (std::vector<std::string>{"2", "2", "3", "3", ""}));
    EXPECT_EQ(reply.text, "");
}

TEST(ValueStringSplit, ReverseFind) {
    EXPECT_EQ(ValueString("abcab").ReverseFind("ab"), 3);
    EXPECT_EQ(ValueString("abcab").ReverseFind("b"), 4);
    EXPECT_EQ(ValueString("abcab").ReverseFind("x"), -1);
    EXPECT_EQ(ValueString("ab").ReverseFind("abc"), -1);
    EXPECT_EQ(ValueString("abc").ReverseFind(""), 3);
}

TEST(ValueStringSplit, Delete) {
    const struct {
        int pos;
        int count;
        const char* left;
    } cases[] = {
        {2, 100, "ab"},  {6, 1, "abcdef"},  {-1, 1, "abcdef"}, {1, INT_MAX, "a"},
        {0, 1, "bcdef"}, {1, -5, "abcdef"}, {0, 0, "abcdef"},  {5, 1, "abcde"},
    };
    for (const auto& c : cases) {
        ValueString value("abcdef");
        EXPECT_EQ(&value.Delete(c.pos, c.count), &value);
        EXPECT_EQ(value.text, c.left) << c.pos << "," << c.count;
    }
}

TEST(ValueStringSplit, RemoveFirstAndAllOccurrences) {
    ValueString value("a,b,,c");
    EXPECT_EQ(value.RemoveChar(',').text, "ab,,c");
    EXPECT_EQ(value.RemoveText(",,").text, "abc");
    EXPECT_EQ(value.RemoveText("x").RemoveChar('x').text, "abc");

    EXPECT_EQ(ValueString("a,b,,c").RemoveAllChar(',').text, "abc");
    EXPECT_EQ(ValueString(std::string("a\0b\0", 4)).RemoveAllChar('\0').text, "ab");
    // An occurrence that a deletion creates goes too.
    EXPECT_EQ(ValueString("aabb").RemoveAllText("ab").text, "");
    EXPECT_EQ(ValueString("xabyab").RemoveAllText("ab").text, "xy");
    // An empty search text matches everywhere; the text stays and the call returns.
    EXPECT_EQ(ValueString("abc").RemoveAllText("").text, "abc");
}

// Records the position forms that the separator forms call.
class RecordingValue : public ValueString {
public:
    using ValueString::ValueString;
    ValueString TakeHead(int pos, int count) override {
        calls.push_back("head " + std::to_string(pos) + " " + std::to_string(count));
        return ValueString::TakeHead(pos, count);
    }
    ValueString TakeTail(int pos, int count) override {
        calls.push_back("tail " + std::to_string(pos) + " " + std::to_string(count));
        return ValueString::TakeTail(pos, count);
    }
    ValueString& Delete(int pos, int count) override {
        calls.push_back("delete " + std::to_string(pos) + " " + std::to_string(count));
        return ValueString::Delete(pos, count);
    }
    std::vector<std::string> calls;
};

TEST(ValueStringSplit, OuterFormsGoThroughTheOverridableInnerOnes) {
    RecordingValue value("ab:cd:ef");
    value.TakeHeadByChar(':');
    value.TakeTailByText(ValueString(":"));
    value.TakeHeadByText(ValueString("zz"));
    value.text = "x-y";
    value.RemoveChar('-');
    value.RemoveText(ValueString("q"));
    EXPECT_EQ(value.calls, (std::vector<std::string>{"head 2 1", "tail 2 1", "head 2 2",
                                                     "delete 1 1", "delete -1 1"}));
}

// A Delete that never deletes must not make the remove-all forms spin.
class StubbornValue : public ValueString {
public:
    using ValueString::ValueString;
    ValueString& Delete(int, int) override { return *this; }
};

TEST(ValueStringSplit, RemoveAllEndsWhenNothingIsDeleted) {
    StubbornValue value("aaa");
    EXPECT_EQ(value.RemoveAllChar('a').text, "aaa");
    EXPECT_EQ(value.RemoveAllText("a").text, "aaa");
}

TEST(ValueStringSplit, TrimAndClear) {
    ValueString value(" \t\r\nab c\v\f ");
    value.Trim();
    EXPECT_EQ(value.text, "ab c");
    value.text = " \t ";
    value.Trim();
    EXPECT_EQ(value.text, "");

    value.text = "abc";
    value.Clear(100);
    EXPECT_EQ(value.text, "");
    EXPECT_GE(value.text.capacity(), 100u);
    value.text = "abc";
    value.Clear(-1);
    EXPECT_EQ(value.text, "");
}

}  // namespace
