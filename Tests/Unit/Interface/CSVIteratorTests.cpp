#include "Interface/CSVIterator.h"
#include "Support/AlertCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Field
{
    std::string text;
    bool endOfLine;
    bool operator==(const Field&) const = default;
};

// Every field of a text, as the reader returns them, until it reports the end.
std::vector<Field> ReadAll(std::string text)
{
    std::vector<Field> fields;
    char* cursor = text.data();
    for (int guard = 0; cursor && guard < 100; guard++) {
        bool endOfLine = false;
        char* field = CSVIterator(&cursor, &endOfLine);
        if (!field) {
            EXPECT_TRUE(endOfLine) << "the end of the text must end the line";
            break;
        }
        fields.push_back({field, endOfLine});
    }
    EXPECT_EQ(cursor, nullptr) << "the cursor must be null after the end";
    return fields;
}

std::ostream& operator<<(std::ostream& out, const Field& f)
{
    return out << "{\"" << f.text << "\", " << (f.endOfLine ? "eol" : "-") << "}";
}

} // namespace

TEST(CSVIterator, QuotedFieldKeepsItsCommasAndLineFeeds)
{
    EXPECT_EQ(ReadAll("a,\"b,c\",d\n"), (std::vector<Field>{{"a", false}, {"b,c", false}, {"d", true}}));
    EXPECT_EQ(ReadAll("\"two\nlines\",x\n"), (std::vector<Field>{{"two\nlines", false}, {"x", true}}));
}

TEST(CSVIterator, CarriageReturnLineFeedEndsLinesLikeLineFeed)
{
    EXPECT_EQ(ReadAll("a,\"b\r\nc\"\r\nd,e\r\n"), ReadAll("a,\"b\nc\"\nd,e\n"));
    // A carriage return on its own is text.
    EXPECT_EQ(ReadAll("a\rb\n"), (std::vector<Field>{{"a\rb", true}}));
}

TEST(CSVIterator, EmptyFieldsAreReturnedEmptyNotSkipped)
{
    EXPECT_EQ(ReadAll(",,\n\"\",x\n"),
              (std::vector<Field>{{"", false}, {"", false}, {"", true}, {"", false}, {"x", true}}));
}

TEST(CSVIterator, TextEndingWithoutLineFeedEndsTheLineOnlyOnTheNextCall)
{
    EXPECT_EQ(ReadAll("a,b"), (std::vector<Field>{{"a", false}, {"b", false}}));
    // Inside a quote the text read so far is the field.
    EXPECT_EQ(ReadAll("x,\"abc"), (std::vector<Field>{{"x", false}, {"abc", false}}));
    EXPECT_EQ(ReadAll("\""), (std::vector<Field>{{"", false}}));
    EXPECT_EQ(ReadAll(""), (std::vector<Field>{}));
}

TEST(CSVIterator, AnythingButCommaOrLineFeedAfterClosingQuoteIsFatal)
{
    EXPECT_EQ(FatalAlertMessageOf([] { ReadAll("\"x\"y\n"); }), "unexpected token in CSV file");
    // A doubled quote is not an escape: the second quote follows a closing one.
    EXPECT_EQ(FatalAlertMessageOf([] { ReadAll("\"say \"\"hi\"\"\"\n"); }), "unexpected token in CSV file");
    EXPECT_EQ(FatalAlertMessageOf([] { ReadAll("\"x\" ,y\n"); }), "unexpected token in CSV file");
}

TEST(CSVIterator, QuoteInsideUnquotedFieldIsText)
{
    EXPECT_EQ(ReadAll("it\"s,5\"\n"), (std::vector<Field>{{"it\"s", false}, {"5\"", true}}));
}

TEST(CSVIterator, NullCursorIsAProgrammingError)
{
    bool endOfLine = false;
    EXPECT_NE(FatalAlertMessageOf([&] { CSVIterator(nullptr, &endOfLine); }).find("CSVIterator:"),
              std::string::npos);
    char* cursor = nullptr;
    std::string message = FatalAlertMessageOf([&] { CSVIterator(&cursor, &endOfLine); });
    EXPECT_NE(message.find("*csvCursor"), std::string::npos) << message;
}
