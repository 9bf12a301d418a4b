// The service's files against the programs' over a real socket: every format
// is byte for byte barwright-batch's file of the same options (with the same
// SOURCE_DATE_EPOCH), the PNG's pixels are barwright's, and zxing-cpp reads
// the data back. Without SOURCE_DATE_EPOCH a PNG has no time chunk at all.
// barwright-batch writes no PDF yet: the PDF is the hallway's file of the
// same options, the routine barwright-batch's other formats come from.
#include <gtest/gtest.h>

#include <utility>

#include "batch/program/BatchProgram.h"
#include "options/SourceDateEpoch.h"
#include "options/SymbolFile.h"
#include "serve/HttpConnection.h"
#include "serve/Service.h"

namespace barwright::test {
namespace {

constexpr const char* kEpoch = "1700000000";

struct FormatCase {
    const char* name;
    std::string data;
    std::vector<std::pair<std::string, std::string>> keys;  // query keys beside data
};

const FormatCase kCases[] = {
    {"Defaults", "Hello 123", {}},
    {"Shaped",
     "PDF417 over HTTP",
     {{"col", "4"},
      {"ecl", "2"},
      {"orient", "90"},
      {"bcolor", "ffe0c0"},
      {"fcolor", "102030"},
      {"qzone", "0"},
      {"xdim", "3"},
      {"y2x", "3"}}},
    {"Fitted",
     "0123456789012345678901234",
     {{"xsize", "400"}, {"ysize", "150"}, {"alignh", "0"}, {"alignv", "2"}, {"mode", "2"}}},
    {"BinaryShortest",
     std::string("\x00\x01\xff\xfe bytes\n", 11),
     {{"shortest", "1"}, {"dpi", "300"}, {"cpdf", "1"}, {"row", "6"}, {"col", "0"}}},
};

const std::pair<std::string, std::string> kFormats[] = {
    {"png", "image/png"},
    {"png1", "image/png"},
    {"svg", "image/svg+xml"},
    {"eps", "application/postscript"},
    {"txt", "text/plain; charset=us-ascii"},
    {"pdf", "application/pdf"},
};

std::string queryOf(const FormatCase& c) {
    std::string query = "data=" + percentEncoded(c.data);
    for (const auto& [key, value] : c.keys) {
        query += "&" + key + "=" + value;
    }
    return query;
}

// The same symbol by barwright-batch: the data as one raw record, the file
// to standard output.
std::string batchFile(const FormatCase& c, const std::string& format,
                      const std::filesystem::path& folder) {
    writeFile(folder / "record", c.data);
    std::vector<std::string> arguments = {"--binary", "--input", "record", "--format", format};
    for (const auto& [key, value] : c.keys) {
        if (key == "shortest") {
            arguments.push_back("--shortest");
        } else if (key != "dpi" || format != "txt") {
            arguments.insert(arguments.end(), {"--" + key, value});
        }
    }
    arguments.push_back("-");
    const ProgramRun run = runBatch(arguments, folder);
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    return run.standardOutput;
}

// The same PDF from the hallway, with the options set as every binding sets
// them.
std::string hallwayPdf(const FormatCase& c) {
    SymbolOptions options = bindingDefaults();
    SourceDateEpoch::fromValue(kEpoch).applyTo(options.output);
    EXPECT_EQ(setOption(options, "data", c.data), status::kOk);
    for (const auto& [key, value] : c.keys) {
        EXPECT_EQ(setOption(options, key, value), status::kOk) << key;
    }
    std::vector<EncodedSymbol> symbols;
    std::string bytes;
    EXPECT_EQ(encodeSymbols(options, symbols), status::kOk);
    EXPECT_EQ(
        makeSymbolFile(symbols.at(0), options.picture, OutputFormat::kPdf, options.output, bytes),
        status::kOk);
    return bytes;
}

TEST(ServeFormats, FilesAreThePrograms) {
    const EnvironmentSetting epoch("SOURCE_DATE_EPOCH", kEpoch);
    Service service;
    ASSERT_TRUE(service.started());
    TemporaryDirectory scratch;
    for (const FormatCase& c : kCases) {
        for (const auto& [format, contentType] : kFormats) {
            SCOPED_TRACE(std::string(c.name) + " " + format);
            const bool dpiless = format == "txt";
            std::string query = queryOf(c);
            if (dpiless && query.find("&dpi=") != std::string::npos) {
                query.erase(query.find("&dpi="), std::string("&dpi=300").size());
            }
            const HttpResponse response =
                request(service.port(), "GET", "/pdf417." + format + "?" + query);
            ASSERT_EQ(response.status, 200) << response.body;
            EXPECT_EQ(response.body,
                      format == "pdf" ? hallwayPdf(c) : batchFile(c, format, scratch.path()));
            EXPECT_EQ(response.header("content-type"), contentType);
            EXPECT_EQ(response.header("content-length"), std::to_string(response.body.size()));
            const HttpResponse head =
                request(service.port(), "HEAD", "/pdf417." + format + "?" + query);
            EXPECT_EQ(head.header("etag"), response.header("etag"));
            EXPECT_EQ(head.header("content-length"), response.header("content-length"));
            if (format == "png") {
                const auto file = scratch.path() / (std::string(c.name) + ".png");
                writeFile(file, response.body);
                EXPECT_EQ(decodedBytes(file), c.data);
            }
        }
    }
}

// barwright reads its data with escapes, the service without; data without
// a tilde is the same to both.
TEST(ServeFormats, PngPixelsAreBarwrights) {
    const EnvironmentSetting epoch("SOURCE_DATE_EPOCH", nullptr);
    Service service;
    ASSERT_TRUE(service.started());
    TemporaryDirectory scratch;
    for (const FormatCase& c : kCases) {
        if (c.data.find('\0') != std::string::npos) {
            continue;  // not a command-line argument
        }
        SCOPED_TRACE(c.name);
        std::vector<std::string> arguments = {"-d", c.data};
        for (const auto& [key, value] : c.keys) {
            arguments.insert(arguments.end(), {"--" + key, value});
        }
        arguments.push_back("barwright.png");
        ASSERT_EQ(runBarwrightIn(arguments, scratch.path()).exitStatus, 0);
        const HttpResponse response = request(service.port(), "GET", "/pdf417.png?" + queryOf(c));
        ASSERT_EQ(response.status, 200);
        writeFile(scratch.path() / "served.png", response.body);
        EXPECT_EQ(pixelDifference(readPng(scratch.path() / "barwright.png"),
                                  readPng(scratch.path() / "served.png")),
                  "");
        // Nothing in the file tells when it was made.
        EXPECT_EQ(response.body.find("tIME"), std::string::npos);
        EXPECT_EQ(response.body.find("Creation Time"), std::string::npos);
        EXPECT_EQ(response.header("content-type"), "image/png");
        EXPECT_EQ(response.header("cache-control"), "public, max-age=86400");
    }
}

}  // namespace
}  // namespace barwright::test
