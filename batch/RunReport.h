#pragma once

#include <cstdio>
#include <string>

#include "files/OutputFile.h"
#include "options/RecordTask.h"

namespace barwright::batch {

// The CSV of --report: a header row, then one row per record in input order,
// written as the records complete:
//
//   record,line,file,status,message,columns,rows,ecl,data_codewords,data_capacity
//
// record is the record number; line the input line where it begins (empty
// where messages name none); file its file ("-" for standard output; a Macro
// record's first); status the record's status (0 when written) and message
// its text ("Ok." when written). The rest is empty for a record that failed:
// the data columns, rows and error correction level of the symbol, and its
// data codewords (without length descriptor, padding, Macro block and error
// correction) against those it could hold; for a Macro record the largest
// rows and level and the sums of the codewords. Fields are quoted as RFC
// 4180 asks when they hold a comma, a quote or a line break; rows end with
// a line feed.
class RunReport {
public:
    // Opens the report: "-" is standard output; a file takes its name only
    // once finish() has written it completely (see OutputFile), so that a
    // run refused or killed leaves an earlier report as it was. 0, or the
    // errno of the failure.
    [[nodiscard]] int open(const std::string& path);

    // Writes the record's row; a write failure is kept for finish().
    void add(const RecordTask& task, const RecordResult& result) noexcept;

    // Flushes the rows and puts a file in place. 0, or the errno of the
    // first failure (EIO when the system gave none).
    [[nodiscard]] int finish();

private:
    void write(const std::string& text) noexcept;

    OutputFile file_;
    std::FILE* stream_ = nullptr;
    bool toStandardOutput_ = false;
    int error_ = 0;
};

}  // namespace barwright::batch
