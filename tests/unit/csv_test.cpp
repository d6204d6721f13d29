#include <gtest/gtest.h>

#include "data/Csv.h"

using namespace chanset;

TEST(Csv, QuotesOnlyFieldsThatNeedIt) {
  EXPECT_EQ(CsvLine({"1", "446.00625", "", "宽", " spaced "}), "1,446.00625,,宽, spaced \n");
  EXPECT_EQ(CsvLine({"a,b", "say \"hi\"", "two\nlines", "cr\r"}),
            "\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\",\"cr\r\"\n");
  EXPECT_EQ(CsvLine({}), "\n");
}

TEST(Csv, ReadsWhatItWritesAndCommonVariants) {
  const std::vector<CsvRecord> records = {
      {"CH", "Rx Frequency", "QT/DQT解码"},
      {"1", "a,b", "say \"hi\""},
      {"2", "two\r\nlines", ""},
      {"", "", ""},
  };
  std::string text;
  for (const CsvRecord& r : records) text += CsvLine(r);
  std::vector<CsvRecord> back;
  ASSERT_TRUE(ParseCsv(text, back));
  EXPECT_EQ(back, records);

  struct Case {
    const char* text;
    std::vector<CsvRecord> want;
  } cases[] = {
      {"\xEF\xBB\xBF" "a,b\r\nc,d", {{"a", "b"}, {"c", "d"}}},  // BOM, CRLF, no final line end
      {"a\n\n\r\nb\n", {{"a"}, {"b"}}},                        // empty lines skipped
      {"a,\n,b", {{"a", ""}, {"", "b"}}},
      {"\"\"\n", {{""}}},
      {"x\ry,z", {{"x\ry", "z"}}},  // a lone CR is data
      {"", {}},
  };
  for (const Case& c : cases) {
    std::vector<CsvRecord> got{{"stale"}};
    EXPECT_TRUE(ParseCsv(c.text, got)) << c.text;
    EXPECT_EQ(got, c.want) << c.text;
  }
}

// Found by the CSV fuzz target: records the reader cannot tell from an empty
// line or from the text's own byte-order mark must survive writing.
TEST(Csv, RecordsAnEmptyLineOrAMarkWouldHideSurviveWriting) {
  const std::vector<CsvRecord> records = {{"\xEF\xBB\xBF" "x", "y"}, {""}, {"z"}};
  std::string text;
  for (const CsvRecord& r : records) text += CsvLine(r);
  EXPECT_EQ(text, "\"\xEF\xBB\xBF" "x\",y\n\"\"\nz\n");
  std::vector<CsvRecord> back;
  ASSERT_TRUE(ParseCsv(text, back));
  EXPECT_EQ(back, records);
}

TEST(Csv, MalformedTextReportsKindAndLine) {
  struct Case {
    const char* text;
    CsvErrorKind kind;
    int line;
  } cases[] = {
      {"a,b\n\"open,\nmore", CsvErrorKind::UnterminatedQuote, 2},
      {"a\nb\n\"x\"y,z", CsvErrorKind::TextAfterQuote, 3},
      {"\"multi\nline\" tail", CsvErrorKind::TextAfterQuote, 2},
      {"ab\"c\"", CsvErrorKind::QuoteInField, 1},
  };
  for (const Case& c : cases) {
    std::vector<CsvRecord> got;
    CsvError error;
    EXPECT_FALSE(ParseCsv(c.text, got, &error)) << c.text;
    EXPECT_EQ(error.kind, c.kind) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text;
    EXPECT_TRUE(got.empty());
    EXPECT_STRNE(CsvErrorText(error.kind), "");
  }
}
