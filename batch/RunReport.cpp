#include "batch/RunReport.h"

#include <cerrno>
#include <new>
#include <string_view>

namespace barwright::batch {

namespace {

constexpr const char* kHeader =
    "record,line,file,status,message,columns,rows,ecl,data_codewords,data_capacity\n";

// A field as RFC 4180 writes it: in quotes, with quotes doubled, when it
// holds a comma, a quote or a line break.
std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string field = "\"";
    for (const char c : text) {
        field += c;
        if (c == '"') {
            field += '"';
        }
    }
    return field + "\"";
}

// A failure names its file; so does every record of a label sheet.
std::string fileOf(const RecordTask& task, const RecordResult& result) {
    if (result.status != status::kOk || !result.name.empty()) {
        return result.name;
    }
    return task.firstName();
}

std::string rowOf(const RecordTask& task, const RecordResult& result) {
    std::string row = std::to_string(task.number) + ",";
    if (task.line != 0) {
        row += std::to_string(task.line);
    }
    row += "," + csvField(fileOf(task, result)) + "," + std::to_string(result.status) + "," +
           csvField(resultMessage(result));
    if (result.status != status::kOk) {
        return row + ",,,,,\n";
    }
    const SymbolFacts& facts = result.facts;
    return row + "," + std::to_string(facts.columns) + "," + std::to_string(facts.rows) + "," +
           std::to_string(facts.errorCorrectionLevel) + "," + std::to_string(facts.dataCodewords) +
           "," + std::to_string(facts.dataCapacity) + "\n";
}

}  // namespace

int RunReport::open(const std::string& path) {
    toStandardOutput_ = path == "-";
    if (toStandardOutput_) {
        stream_ = stdout;
    } else if (file_.open(path.c_str()) == status::kOk) {
        stream_ = file_.stream();
    } else {
        return file_.error() != 0 ? file_.error() : EIO;
    }
    write(kHeader);
    return 0;
}

void RunReport::write(const std::string& text) noexcept {
    if (stream_ == nullptr || error_ != 0) {
        return;
    }
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stream_) != text.size()) {
        error_ = errno != 0 ? errno : EIO;
    }
}

void RunReport::add(const RecordTask& task, const RecordResult& result) noexcept {
    if (stream_ == nullptr) {
        return;
    }
    try {
        write(rowOf(task, result));
    } catch (const std::bad_alloc&) {
        error_ = error_ != 0 ? error_ : ENOMEM;
    }
}

int RunReport::finish() {
    if (stream_ == nullptr) {
        return 0;
    }
    std::FILE* stream = stream_;
    stream_ = nullptr;
    errno = 0;
    if (toStandardOutput_) {
        if ((std::fflush(stream) != 0 || std::ferror(stream) != 0) && error_ == 0) {
            error_ = errno != 0 ? errno : EIO;
        }
        return error_;
    }
    if (error_ != 0) {
        return error_;  // the file is discarded, an earlier report kept
    }
    if (file_.commit() != status::kOk) {
        error_ = file_.error() != 0 ? file_.error() : EIO;
    }
    return error_;
}

}  // namespace barwright::batch
