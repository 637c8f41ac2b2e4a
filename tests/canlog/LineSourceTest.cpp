#include "canlog/LineSource.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/FakeSystem.hpp"

namespace quillon::canlog {
namespace {

struct Lines {
    std::vector<std::string> lines;
    std::string error;
    std::uint64_t lineNumber = 0;
    std::uint64_t bytesRead = 0;
};

Lines ReadLines(LineSource& source) {
    Lines read;
    std::string_view line;
    while (source.Next(line)) {
        read.lines.emplace_back(line);
    }
    read.error = source.Error();
    read.lineNumber = source.LineNumber();
    read.bytesRead = source.BytesRead();
    return read;
}

std::string Repeated(const std::string& line, std::size_t bytes) {
    std::string text;
    while (text.size() < bytes) {
        text += line;
    }
    return text;
}

// Lines of 100 bytes and a shorter one, the last LF at `lastLineFeed`.
std::string EndingAt(std::size_t lastLineFeed) {
    std::string text;
    while (text.size() + 200 < lastLineFeed) {
        text += std::string(99, 'y') + "\n";
    }
    return text + std::string(lastLineFeed - text.size(), 'w') + "\n";
}

// The same lines from text in memory and from a file, however the text falls
// on the 64-byte steps and the stretches whose line ends are found at once.
TEST(LineSourceTest, LinesAsSplitAtEachLineFeed) {
    const std::string longest(MAX_LINE_BYTES, 'x');
    struct Row {
        const char* name;
        std::string text;
        std::vector<std::string> expected;  // empty: every line of the text, as split at LF
    };
    const Row rows[] = {
        {"empty", "", {}},
        {"only line feeds", "\n\n\n", {"", "", ""}},
        {"CR stays, no final LF", "a\r\n\r\nlast", {"a\r", "\r", "last"}},
        {"more lines than eight a step", Repeated("1\n22\n333\n", 3 * LINE_END_STEP + 5), {}},
        {"across stretches",
         Repeated("(1700000000.000000) can0 123#0011223344\n", 3 * SCAN_BYTES),
         {}},
        {"a line of the longest length", "a\n" + longest + "\nb", {"a", longest, "b"}},
        {"a long line across a stretch's end",
         EndingAt(SCAN_BYTES - 3) + std::string(4000, 'z') + "\nend\n",
         {}},
    };
    quillon::test::TempDir dir;
    for (const Row& row : rows) {
        std::vector<std::string> expected = row.expected;
        if (expected.empty()) {
            std::size_t start = 0;
            for (std::size_t lf; (lf = row.text.find('\n', start)) != std::string::npos;
                 start = lf + 1) {
                expected.push_back(row.text.substr(start, lf - start));
            }
            if (start < row.text.size()) {
                expected.push_back(row.text.substr(start));
            }
        }
        LineSource fromText(std::string_view(row.text));
        const Lines text = ReadLines(fromText);
        EXPECT_EQ(text.lines, expected) << row.name;
        EXPECT_EQ(text.error, "") << row.name;
        EXPECT_EQ(text.lineNumber, expected.size()) << row.name;
        EXPECT_EQ(text.bytesRead, row.text.size()) << row.name;

        const auto path = dir.Path() / "lines.log";
        std::ofstream(path, std::ios::binary) << row.text;
        LineSource fromFile(path);
        const Lines file = ReadLines(fromFile);
        EXPECT_EQ(file.lines, expected) << row.name << " (file)";
        EXPECT_EQ(file.error, "") << row.name << " (file)";
        EXPECT_EQ(file.bytesRead, row.text.size()) << row.name << " (file)";
    }
}

// A line one byte too long ends the lines, with its number, wherever it lies.
TEST(LineSourceTest, LineTooLongEndsTheLines) {
    const std::string tooLong(MAX_LINE_BYTES + 1, 'x');
    struct Row {
        const char* name;
        std::string text;
        std::size_t linesBefore;
    };
    const Row rows[] = {
        {"first, with a LF", tooLong + "\nnext\n", 0},
        {"after short lines, with a LF", Repeated("ab\n", 300) + tooLong + "\nnext\n", 100},
        {"last, without a LF", "a\nb\n" + tooLong, 2},
    };
    quillon::test::TempDir dir;
    for (const Row& row : rows) {
        LineSource fromText(std::string_view(row.text));
        const Lines text = ReadLines(fromText);
        EXPECT_EQ(text.lines.size(), row.linesBefore) << row.name;
        EXPECT_EQ(text.error, "line longer than 4096 bytes") << row.name;
        EXPECT_EQ(text.lineNumber, row.linesBefore + 1) << row.name;

        const auto path = dir.Path() / "long.log";
        std::ofstream(path, std::ios::binary) << row.text;
        LineSource fromFile(path);
        const Lines file = ReadLines(fromFile);
        EXPECT_EQ(file.lines.size(), row.linesBefore) << row.name << " (file)";
        EXPECT_EQ(file.error, "line longer than 4096 bytes") << row.name << " (file)";
        EXPECT_EQ(file.lineNumber, row.linesBefore + 1) << row.name << " (file)";
    }
}

}  // namespace
}  // namespace quillon::canlog
