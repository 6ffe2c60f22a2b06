// The one line reader: every kind of line end gives the same lines, also where a CR LF is
// split across two blocks, and a byte-order mark never reaches the first line.
#include "core/line_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace korv {
namespace {

std::vector<std::string> ReadAll(const std::string& text, std::vector<size_t>* numbers = nullptr) {
  std::istringstream in(text);
  LineReader reader(in);
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.Next(line)) {
    lines.emplace_back(line);
    if (numbers) numbers->push_back(reader.lineNumber());
  }
  return lines;
}

// The rule written out plainly, one byte at a time.
std::vector<std::string> Reference(std::string text) {
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  std::vector<std::string> lines;
  std::string current;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || text[i] == '\r') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.push_back(current);
      current.clear();
    } else {
      current += text[i];
    }
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

TEST(LineReader, EveryLineEndGivesTheSameRecords) {
  const std::vector<std::string> records = {"CO,Job 1", "ST,S1,,S2,,1.5", "", "SS,P1,1.2,10,90"};
  for (std::string end : {"\r\n", "\n", "\r"}) {
    for (std::string bom : {"", "\xEF\xBB\xBF"}) {
      std::string text = bom;
      for (const std::string& r : records) text += r + end;
      std::vector<size_t> numbers;
      EXPECT_EQ(ReadAll(text, &numbers), records) << int(end.back()) << " bom " << bom.size();
      EXPECT_EQ(numbers, (std::vector<size_t>{1, 2, 3, 4}));
      // Without the last line end the records are the same.
      text.erase(text.size() - end.size());
      EXPECT_EQ(ReadAll(text), records);
    }
  }
  // CR CR LF is a line end and an empty line, never a CR inside the field.
  EXPECT_EQ(ReadAll("UP,P1,1,2,3,C\r\r\nUP,P2,4,5,6,D\r\r\n"),
            (std::vector<std::string>{"UP,P1,1,2,3,C", "", "UP,P2,4,5,6,D", ""}));
  // A byte-order mark only counts at the very start.
  EXPECT_EQ(ReadAll("a\n\xEF\xBB\xBF" "b"), (std::vector<std::string>{"a", "\xEF\xBB\xBF" "b"}));
}

TEST(LineReader, AgreesWithThePlainRuleOnGeneratedFiles) {
  // Lines of every length around the 64 KiB block, with ends drawn from CR, LF and CR LF, so
  // that ends fall on block edges and a CR LF is split between two reads.
  std::mt19937 random(20261207);
  const char* ends[] = {"\r", "\n", "\r\n", "\r\r\n"};
  for (int round = 0; round < 40; ++round) {
    std::string text = round % 5 == 0 ? "\xEF\xBB\xBF" : "";
    const size_t target = 60000 + random() % 200000;
    while (text.size() < target) {
      const size_t length = random() % 3 == 0 ? random() % 70000 : random() % 60;
      text.append(length, static_cast<char>('a' + random() % 26));
      text += ends[random() % 4];
    }
    if (round % 2) text.append(random() % 100, 'z');  // a last line without an end
    ASSERT_EQ(ReadAll(text), Reference(text)) << "round " << round;
  }
}

}  // namespace
}  // namespace korv
