// The record handling of a bulk run as a binding calls it, record by
// record, without barwright-batch: a CSV read from memory, each row made
// into a task with its names, format or failure, and the task's files made,
// with barwright-batch's own messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "options/MemorySource.h"
#include "options/RecordMaker.h"
#include "options/RecordReader.h"
#include "options/TaskMaker.h"

namespace barwright {
namespace {

struct Made {
    std::vector<std::string> names;  // the task's files
    std::string message;             // failureMessage, for a failure
    std::string firstFile;           // the bytes of its first file
};

// Reads the whole CSV and makes every record, as a bulk front door would.
std::vector<Made> makeAll(const std::string& csv, const RecordRules& rules) {
    MemorySource source(csv);
    RecordReader reader(source, RecordFormat::kCsv);
    TaskMaker tasks(rules);
    bool empty = false;
    std::string headerMessage;
    EXPECT_EQ(tasks.readHeader(reader, empty, headerMessage), status::kOk) << headerMessage;
    std::vector<Made> made;
    RecordMaker maker;
    Record record;
    bool more = true;
    while (more && reader.next(record)) {
        RecordTask task;
        more = tasks.makeTask(record, task);
        RecordResult result;
        result.status = maker.encode(task, result);
        for (std::size_t i = 0; result.status == status::kOk && i < maker.symbolCount(); ++i) {
            result.status = maker.makeFile(i, task, result);
            if (i == 0) {
                made.push_back({task.names, "", std::string(maker.bytes())});
            }
        }
        if (result.status != status::kOk) {
            result.name = result.name.empty() ? task.names.front() : result.name;
            made.push_back({task.names, failureMessage(task, result), ""});
        }
    }
    return made;
}

TEST(RecordRules, CsvRowsBecomeFilesOrTheBatchsMessages) {
    RecordRules rules;
    rules.options = programDefaults();
    rules.options.output.timeSource = FileTime::kNone;
    rules.recordFormat = RecordFormat::kCsv;
    rules.inputGiven = true;
    std::string message;
    ASSERT_TRUE(rules.names.parse("out-{n}.png", message));
    const std::vector<Made> made = makeAll(
        "data,col,output\n"
        "Hello,4,\n"
        "Hi,4,label-{n}.svg\n"
        "Bad,x,\n"
        "Away,,../up.png\n"
        "\"unterminated\n",
        rules);
    ASSERT_EQ(made.size(), 5u);
    EXPECT_EQ(made[0].names, std::vector<std::string>{"out-1.png"});
    EXPECT_EQ(made[0].firstFile.compare(0, 4, "\x89PNG"), 0);
    EXPECT_EQ(made[1].names, std::vector<std::string>{"label-2.svg"});
    EXPECT_EQ(made[1].firstFile.compare(0, 5, "<?xml"), 0);
    EXPECT_EQ(made[2].message,
              "row 3 (line 4): out-3.png: Error: Invalid argument. (column \"col\": \"x\" is not a "
              "value of this option)");
    EXPECT_EQ(made[3].message,
              "row 4 (line 5): ../up.png: Error: Cant open output file. (an output cell may not "
              "leave the current folder; --any-path allows it)");
    EXPECT_EQ(made[4].message,
              "row 5 (line 6): out-5.png: Error: Invalid argument. (the input ends inside a "
              "quoted cell)");

    // The same symbol as one made straight from its options.
    SymbolOptions options = rules.options;
    options.symbol.data = "Hello";
    options.symbol.columns = 4;
    std::vector<EncodedSymbol> symbols;
    ASSERT_EQ(encodeSymbols(options, symbols), status::kOk);
    std::string direct;
    ASSERT_EQ(
        makeSymbolFile(symbols[0], options.picture, OutputFormat::kPng, options.output, direct),
        status::kOk);
    EXPECT_TRUE(direct == made[0].firstFile);
}

TEST(RecordRules, ATemplateWithoutNumberStopsAtTheSecondRecord) {
    RecordRules rules;
    rules.options = programDefaults();
    rules.recordFormat = RecordFormat::kCsv;
    rules.inputGiven = true;
    std::string message;
    ASSERT_TRUE(rules.names.parse("same.txt", message));
    rules.format = OutputFormat::kTxt;
    const std::vector<Made> made = makeAll("data\none\ntwo\nthree\n", rules);
    ASSERT_EQ(made.size(), 2u);
    EXPECT_EQ(made[0].firstFile.find_first_not_of("01\n"), std::string::npos);
    EXPECT_EQ(made[1].message,
              "row 2 (line 3): same.txt: Error: Invalid argument. (TEMPLATE has no {n}, so this "
              "record would replace the file of record 1)");
}

}  // namespace
}  // namespace barwright
