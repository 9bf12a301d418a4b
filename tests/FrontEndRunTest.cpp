// The steps of a run that do not need a symbol: the order in which settings
// reach the encoder, the explicit image size, the output file, and ending
// the process through the one exit point.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/FrontEnd.h"
#include "cli/ProcessExit.h"
#include "encoder/Pdf417Encoder.h"
#include "render/RgbImage.h"

namespace barwright {
namespace {

// Records every setter call as text and fails the one chosen.
class RecordingEncoder {
public:
    explicit RecordingEncoder(std::size_t failingCall = SIZE_MAX) : failingCall_(failingCall) {}

    Status setDeferred(bool on) { return record("setDeferred " + std::to_string(on)); }
    Status setData(const std::string& data) { return record("setData " + data); }
    Status setCompactionMode(std::int32_t v) {
        return record("setCompactionMode " + std::to_string(v));
    }
    Status setErrorCorrectionLevel(std::int32_t v) {
        return record("setErrorCorrectionLevel " + std::to_string(v));
    }
    Status setColumns(std::int32_t v) { return record("setColumns " + std::to_string(v)); }
    Status setRows(std::int32_t v) { return record("setRows " + std::to_string(v)); }
    Status setCompact(bool v) { return record("setCompact " + std::to_string(v)); }
    Status setOrientation(std::int32_t v) { return record("setOrientation " + std::to_string(v)); }
    Status setQuietZone(bool v) { return record("setQuietZone " + std::to_string(v)); }
    Status setHorizontalAlignment(std::int32_t v) {
        return record("setHorizontalAlignment " + std::to_string(v));
    }
    Status setVerticalAlignment(std::int32_t v) {
        return record("setVerticalAlignment " + std::to_string(v));
    }
    Status setBackgroundColor(std::uint32_t v) {
        return record("setBackgroundColor " + std::to_string(v));
    }
    Status setForegroundColor(std::uint32_t v) {
        return record("setForegroundColor " + std::to_string(v));
    }
    Status setYToXRatio(double v) { return record("setYToXRatio " + std::to_string(v)); }

    std::vector<std::string> calls;

private:
    Status record(std::string call) {
        calls.push_back(std::move(call));
        // A code no setter really returns, so that passing it up unchanged
        // is what is checked.
        return calls.size() - 1 == failingCall_ ? 17 : status::kOk;
    }
    std::size_t failingCall_;
};

RunSettings unusualSettings() {
    RunSettings settings;
    settings.data = "abc";
    settings.compactionMode = 2;
    settings.errorCorrectionLevel = 5;
    settings.columns = 7;
    settings.rows = 11;
    settings.compact = true;
    settings.orientation = 90;
    settings.quietZone = false;
    settings.alignH = 0;
    settings.alignV = 2;
    settings.backgroundColor = 0x123456;
    settings.foregroundColor = 0x654321;
    settings.yToXRatio = 2.5;
    return settings;
}

const std::vector<std::string> kExpectedCalls = {
    "setDeferred 1",
    "setData abc",
    "setCompactionMode 2",
    "setErrorCorrectionLevel 5",
    "setColumns 7",
    "setRows 11",
    "setCompact 1",
    "setOrientation 90",
    "setQuietZone 0",
    "setHorizontalAlignment 0",
    "setVerticalAlignment 2",
    "setBackgroundColor " + std::to_string(0x123456),
    "setForegroundColor " + std::to_string(0x654321),
    "setYToXRatio 2.500000",
    "setDeferred 0",
};

TEST(ConfigureEncoder, EverySettingInsideOneDeferredBracket) {
    RecordingEncoder encoder;
    EXPECT_EQ(configureEncoder(encoder, unusualSettings()), status::kOk);
    EXPECT_EQ(encoder.calls, kExpectedCalls);
}

TEST(ConfigureEncoder, StopsAtTheFirstFailure) {
    for (std::size_t failing = 0; failing < kExpectedCalls.size(); ++failing) {
        RecordingEncoder encoder(failing);
        EXPECT_EQ(configureEncoder(encoder, unusualSettings()), 17) << "failing call " << failing;
        const std::vector<std::string> expected(kExpectedCalls.begin(),
                                                kExpectedCalls.begin() + failing + 1);
        EXPECT_EQ(encoder.calls, expected) << "failing call " << failing;
    }
}

TEST(ImageSize, ExplicitSizeIsTakenAsGiven) {
    Pdf417Encoder encoder;
    RunSettings settings;
    settings.explicitSize = true;
    settings.imageWidth = 300;
    settings.moduleWidth = 7.0;  // no effect with an explicit size
    std::int32_t width = 0;
    std::int32_t height = 0;
    EXPECT_EQ(chooseImageSize(settings, encoder, width, height), status::kOk);
    EXPECT_EQ(width, 300);
    EXPECT_EQ(height, 100);
}

TEST(OutputFile, MissingFolderIsStatus25AndCreatesNothing) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("barwright-missing-" + std::to_string(::getpid()));
    ASSERT_FALSE(std::filesystem::exists(folder));
    RgbImage image(1, 1, 0xFFFFFF, RgbImage::kDefaultCompression);
    EXPECT_EQ(writeImageFile(image, (folder / "out.png").c_str()), status::kCantOpenOutput);
    EXPECT_FALSE(std::filesystem::exists(folder));
}

// Stands in for the end of the process so that the test goes on.
struct ProcessEnded {
    int exitStatus;
};

[[noreturn]] void throwInsteadOfExiting(int exitStatus) { throw ProcessEnded{exitStatus}; }

class ExitIntercepted : public testing::Test {
protected:
    void SetUp() override { setExitHook(throwInsteadOfExiting); }
    void TearDown() override { setExitHook(nullptr); }
};

TEST_F(ExitIntercepted, UsageIsWrittenBeforeTheProcessEnds) {
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    int exitStatus = -1;
    try {
        printUsage(stream, 1);
    } catch (const ProcessEnded& ended) {
        exitStatus = ended.exitStatus;
    }
    EXPECT_EQ(exitStatus, 1);
    // Flushed before the exit, so an in-process driver sees all of it.
    const long length = std::ftell(stream);
    std::rewind(stream);
    std::string text(static_cast<std::size_t>(length), '\0');
    EXPECT_EQ(std::fread(text.data(), 1, text.size(), stream), text.size());
    std::fclose(stream);
    EXPECT_EQ(text.rfind("barwright Version 1.2\nUsage:  barwright [OPTIONS] filename\n", 0), 0u);
    const std::string lastLine = "                    Example: -a 4.0\n";
    ASSERT_GE(text.size(), lastLine.size());
    EXPECT_EQ(text.substr(text.size() - lastLine.size()), lastLine);
}

TEST_F(ExitIntercepted, EveryRunStartsFromTheFirstArgument) {
    // The first run ends inside the group "-hx"; a second run in the same
    // process must not go on from where the first one stopped.
    for (int run = 1; run <= 2; ++run) {
        std::vector<std::string> words = {"barwright", "-hx", "1"};
        std::vector<char*> argv = {words[0].data(), words[1].data(), words[2].data(), nullptr};
        int exitStatus = -1;
        testing::internal::CaptureStdout();
        try {
            exitStatus = runBarwright(3, argv.data());
        } catch (const ProcessEnded& ended) {
            exitStatus = ended.exitStatus;
        }
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(exitStatus, 0) << "run " << run;
        EXPECT_EQ(out.rfind("barwright Version 1.2\n", 0), 0u) << "run " << run;
    }
}

TEST_F(ExitIntercepted, NoFileNameIsStatus24) {
    std::vector<std::string> words = {"barwright", "-x", "300"};
    std::vector<char*> argv = {words[0].data(), words[1].data(), words[2].data(), nullptr};
    testing::internal::CaptureStderr();
    EXPECT_EQ(runBarwright(3, argv.data()), status::kEmptyFileName);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "barwright Version 1.2\nError: Output file name cant be empty.\n");
}

}  // namespace
}  // namespace barwright
