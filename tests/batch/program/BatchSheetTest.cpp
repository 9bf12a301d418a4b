// Label sheets from barwright-batch: every record of a CSV in its own cell
// of the pages, in input order, read back by zxing-cpp from the pages drawn
// at 300 dpi, a failed record's cell empty and its line told; the captions
// found by pdftotext; the file checked by qpdf and drawn by Ghostscript;
// the report; the PDF on standard output and on a full disk; and a run
// stopped half-way that leaves no file behind.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "batch/program/BatchProgram.h"
#include "support/Raster.h"
#include "support/Renderers.h"

namespace barwright::test {
namespace {

constexpr int kDpi = 300;

std::int32_t pixelsOfMm(double mm) { return static_cast<std::int32_t>(mm / 25.4 * kDpi); }

// 120 x 80 mm paper, margin 10 and gap 5: 2 x 2 cells of 47.5 x 27.5 mm.
const std::vector<std::string> kSheetOptions = {"-c",     "3",     "-r",        "12",      "-n",
                                                "3",      "--dpi", "300",       "--sheet", "120x80",
                                                "--grid", "2x2",   "--caption", "No {n}"};

TEST(BatchSheet, EveryRecordReadsBackFromItsCellInOrder) {
    TemporaryDirectory directory;
    // Record 3 fails to encode, record 4's symbol is larger than its cell:
    // their cells stay empty. Captions with PDF's string delimiters, letters
    // of the standard font's encoding and one it lacks.
    writeFile(directory.path() / "labels.csv",
              "data,caption,mode,xdim\n"
              "Record 1,First (1),,\n"
              "Record 2,,,\n"
              "abc,,2,\n"
              "Record 4,,,9\n"
              "Record 5,Größe € ✓ {n},,\n"
              "Record 6,,,\n");
    std::vector<std::string> arguments = kSheetOptions;
    arguments.insert(arguments.end(),
                     {"--csv", "--input", "labels.csv", "--report", "report.csv", "sheet.pdf"});

    const ProgramRun run = runBatch(arguments, directory.path());

    EXPECT_EQ(run.exitStatus, 6);
    EXPECT_EQ(run.standardError,
              "barwright-batch: row 3 (line 4): sheet.pdf: Error: Some of the characters cannot "
              "be encoded in the NUMERIC mode.\n"
              "barwright-batch: row 4 (line 5): sheet.pdf: Error: Columns number too large (or "
              "increase width/height). (label 94.49 x 43.15 mm, its cell 47.50 x 27.50 mm: -n 4 "
              "or --dpi 597 fits)\n");
    const std::filesystem::path sheet = directory.path() / "sheet.pdf";
    EXPECT_EQ(qpdfProblems(sheet), "");
    const std::vector<Raster> pages = renderedPages(sheet, kDpi, false);
    ASSERT_EQ(pages.size(), 2u);
    for (int record = 1; record <= 6; ++record) {
        SCOPED_TRACE("record " + std::to_string(record));
        const int cell = (record - 1) % 4;
        const Raster part = pages[static_cast<std::size_t>((record - 1) / 4)].cropped(
            pixelsOfMm(10 + (cell % 2) * 52.5), pixelsOfMm(10 + (cell / 2) * 32.5),
            pixelsOfMm(47.5), pixelsOfMm(27.5));
        bool found = false;
        const std::string data = decodedData(part, found);
        EXPECT_EQ(found, record != 3 && record != 4) << data;
        if (found) {
            EXPECT_EQ(data, "Record " + std::to_string(record));
        }
    }
    EXPECT_EQ(renderedPages(sheet, kDpi, true).size(), 2u) << "Ghostscript";

    // The captions in the order drawn, row after row.
    EXPECT_EQ(pdfWords(sheet), "First (1) No 2 Größe € ? 5 No 6 ");

    const std::string report = readFile(directory.path() / "report.csv");
    EXPECT_NE(report.find("\n1,2,sheet.pdf,0,Ok.,3,12,"), std::string::npos) << report;
    EXPECT_NE(report.find("\n3,4,sheet.pdf,6,"), std::string::npos) << report;
    EXPECT_NE(report.find("\n4,5,sheet.pdf,14,"), std::string::npos) << report;
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 7);
}

// The whole document on standard output, byte for byte the file's; on a
// full disk no record is written, and the run says so once.
TEST(BatchSheet, StandardOutputAndAFullDisk) {
    const EnvironmentSetting epoch("SOURCE_DATE_EPOCH", "1700000000");
    TemporaryDirectory directory;
    std::string lines;
    for (int i = 1; i <= 30; ++i) lines += "Label " + std::to_string(i) + "\n";
    writeFile(directory.path() / "in.txt", lines);
    const auto arguments = [](const std::string& name) {
        std::vector<std::string> words = kSheetOptions;
        words.insert(words.end(), {"--input", "in.txt", name});
        return words;
    };

    const ProgramRun toFile = runBatch(arguments("sheet.pdf"), directory.path());
    ASSERT_EQ(toFile.exitStatus, 0) << toFile.standardError;
    const ProgramRun toOutput = runBatch(arguments("-"), directory.path());
    ASSERT_EQ(toOutput.exitStatus, 0) << toOutput.standardError;
    const std::string bytes = readFile(directory.path() / "sheet.pdf");
    EXPECT_EQ(toOutput.standardOutput, bytes);
    // The dates are SOURCE_DATE_EPOCH's, in UTC.
    EXPECT_NE(bytes.find("/CreationDate(D:20231114221320Z)"), std::string::npos);

    const ProgramRun full = runBatch(arguments("/dev/full"), directory.path());
    EXPECT_EQ(full.exitStatus, 26);
    EXPECT_EQ(full.standardError,
              "barwright-batch: cannot write /dev/full: No space left on device\n");
    EXPECT_EQ(directory.entries(), (std::vector<std::string>{"in.txt", "sheet.pdf"}));
}

// A stop signal half-way: the pages written so far go with the unfinished
// document (a hidden temporary file here, as on a system without unnamed
// files), and an earlier sheet of the same name keeps its bytes.
TEST(BatchSheet, AStoppedRunLeavesNoFile) {
    TemporaryDirectory directory;
    std::string lines;
    for (int i = 0; i < 200000; ++i) lines += "Label " + std::to_string(i) + "\n";
    writeFile(directory.path() / "in.txt", lines);
    writeFile(directory.path() / "sheet.pdf", "an earlier sheet");
    StartOptions options;
    options.withoutUnnamedFiles = true;
    std::vector<std::string> arguments = kSheetOptions;
    arguments.insert(arguments.end(), {"--jobs", "2", "--input", "in.txt", "sheet.pdf"});
    RunningProgram program(BARWRIGHT_BATCH_EXE, arguments, directory.path(), options);
    // Pages are on their way once the hidden file holds some. (The count of
    // bytes the process wrote would not do: a sanitizer's runtime writes half
    // a megabyte of its own before the program starts.)
    const auto pagesWritten = [&directory] {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(directory.path(), error)) {
            if (entry.path().filename().string().rfind('.', 0) == 0 &&
                entry.file_size(error) >= 200000) {
                return true;
            }
        }
        return false;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!pagesWritten() && !program.hasEnded() &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    program.sendSignal(SIGTERM);
    const ProgramRun run = program.finish();

    EXPECT_EQ(run.terminatingSignal, SIGTERM) << run.standardError;
    EXPECT_EQ(run.standardError.rfind("barwright-batch: interrupted: ", 0), 0u)
        << run.standardError;
    EXPECT_NE(run.standardError.find(" records placed, 0 failed; input read to line "),
              std::string::npos);
    EXPECT_NE(run.standardError.find("; sheet.pdf is not written\n"), std::string::npos);
    EXPECT_EQ(directory.entries(), (std::vector<std::string>{"in.txt", "sheet.pdf"}));
    EXPECT_EQ(readFile(directory.path() / "sheet.pdf"), "an earlier sheet");
}

}  // namespace
}  // namespace barwright::test
