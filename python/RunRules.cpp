#include "python/RunRules.h"

#include "barwright/MacroSettings.h"
#include "options/OutputFormat.h"

namespace barwright::python {
namespace {

std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

std::int32_t applyOptions(const OptionTexts& texts, SymbolOptions& options, std::string& message) {
    if (applyOptionTexts(texts, options, message) != status::kOk) {
        return status::kInvalidArgument;
    }
    // Checked before any record, as barwright-batch checks --file-id.
    if (!options.fileId.empty() && !isMacroFileId(options.fileId)) {
        message = optionRefusal("file-id", options.fileId);
        return status::kInvalidArgument;
    }
    return 0;
}

// The format of the files: a format= name, and then as barwright-batch settles it.
std::int32_t chooseFormat(const std::string& name, RecordRules& rules, std::string& message) {
    if (!name.empty()) {
        const std::optional<OutputFormat> given = formatNamed(name, rules.formats);
        if (!given) {
            message = "format takes " + formatNames(rules.formats, " or ") + ", not " + quoted(name);
            return status::kInvalidArgument;
        }
        rules.format = *given;
        rules.formatGiven = true;
    }
    return settleFormat(rules, "format=", message) ? 0 : kUsageStatus;
}

std::int32_t checkNames(const RecordRules& rules, std::string& message) {
    const std::int32_t segments = rules.options.macroSegments;
    if (rules.names.isStandardOutput()) {
        message = "write_csv writes files: TEMPLATE '-' (standard output) names none";
        return kUsageStatus;
    }
    if (segments > 1 && !rules.names.usesSegmentNumber()) {
        message = "macro " + std::to_string(segments) +
                  " needs {s} in TEMPLATE to name the segments apart";
        return kUsageStatus;
    }
    if (rules.options.output.dpi != 0 && rules.format == OutputFormat::kTxt) {
        message = "dpi has no meaning for the txt format";
        return kUsageStatus;
    }
    return 0;
}

}  // namespace

std::int32_t makeRecordRules(const RunRequest& request, RecordRules& rules, std::string& message) {
    rules.options = programDefaults();
    rules.options.output.timeSource = FileTime::kNone;
    rules.recordFormat = RecordFormat::kCsv;
    rules.inputGiven = true;
    rules.formats = kBatchFormats;
    rules.anyPath = request.anyPath;
    std::int32_t refusal = applyOptions(request.options, rules.options, message);
    if (refusal != 0) {
        return refusal;
    }
    std::string templateMessage;
    if (!rules.names.parse(request.templateText, templateMessage)) {
        message = "TEMPLATE " + quoted(request.templateText) + ": " +
                  (templateMessage.empty() ? "out of memory" : templateMessage);
        return kUsageStatus;
    }
    refusal = rules.names.isStandardOutput() ? 0 : chooseFormat(request.format, rules, message);
    return refusal != 0 ? refusal : checkNames(rules, message);
}

}  // namespace barwright::python
