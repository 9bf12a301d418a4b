#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/RunProgram.h"
#include "support/Raster.h"

namespace barwright::test {

// A renderer program, found when the tests were configured. Renderers are
// required test dependencies like the decoder (scripts/setup installs
// them): a missing one fails its test with the package to install, it
// never skips it.
inline std::string requiredProgram(const char* path, const char* name, const char* package) {
    if (!std::filesystem::exists(path)) {
        ADD_FAILURE() << name << " is missing: install the Debian package " << package
                      << " (scripts/setup does)";
        return "";
    }
    return path;
}

// What is wrong with a PDF file by qpdf --check ("" for nothing).
inline std::string qpdfProblems(const std::filesystem::path& pdf) {
    const std::string qpdf = requiredProgram(BARWRIGHT_QPDF, "qpdf", "qpdf");
    const ProgramRun run = runProgram(qpdf, {"--check", pdf.string()}, pdf.parent_path());
    return run.exitStatus == 0 ? "" : run.standardOutput + run.standardError;
}

// Every page of a PDF file rendered at dpi, by poppler's pdftoppm or by
// Ghostscript; empty, with a failure added, when the renderer fails or
// complains.
inline std::vector<Raster> renderedPages(const std::filesystem::path& pdf, std::int32_t dpi,
                                         bool ghostscript) {
    const std::filesystem::path folder = pdf.parent_path();
    const std::string resolution = std::to_string(dpi);
    ProgramRun run;
    if (ghostscript) {
        run = runProgram(requiredProgram(BARWRIGHT_GHOSTSCRIPT, "gs", "ghostscript"),
                         {"-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=ppmraw",
                          "-r" + resolution, "-sOutputFile=gs-%03d.ppm", pdf.string()},
                         folder);
    } else {
        run = runProgram(requiredProgram(BARWRIGHT_PDFTOPPM, "pdftoppm", "poppler-utils"),
                         {"-r", resolution, pdf.string(), "poppler"}, folder);
    }
    std::vector<Raster> pages;
    if (run.exitStatus != 0 || !run.standardOutput.empty() || !run.standardError.empty()) {
        ADD_FAILURE() << (ghostscript ? "gs: " : "pdftoppm: ") << run.standardOutput
                      << run.standardError;
        return pages;
    }
    for (const std::string& name : TemporaryDirectory::entriesOf(folder)) {
        if (name.rfind(ghostscript ? "gs-" : "poppler-", 0) == 0) {
            Raster page;
            EXPECT_TRUE(readPpm(readFile(folder / name), page)) << name;
            pages.push_back(page);
            std::filesystem::remove(folder / name);
        }
    }
    return pages;
}

// The text of a PDF file as pdftotext reads it in the order drawn, every
// line end a space and the form feeds that end pages left out; empty, with
// a failure added, when pdftotext fails.
inline std::string pdfWords(const std::filesystem::path& pdf) {
    const ProgramRun run =
        runProgram(requiredProgram(BARWRIGHT_PDFTOTEXT, "pdftotext", "poppler-utils"),
                   {"-raw", "-enc", "UTF-8", pdf.string(), "-"}, pdf.parent_path());
    std::string words;
    if (run.exitStatus != 0) {
        ADD_FAILURE() << "pdftotext: " << run.standardError;
        return words;
    }
    for (const char c : run.standardOutput) {
        if (c != '\f') {
            words += c == '\n' ? ' ' : c;
        }
    }
    return words;
}

}  // namespace barwright::test
