// barwright-batch's input: a file or standard input read through a
// descriptor into the record reader, and the errors of opening and reading.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "batch/FileDescriptorSource.h"
#include "options/RecordReader.h"

namespace barwright::batch {
namespace {

TEST(FileDescriptorSourceTest, OpenAndReadFailuresGiveTheirErrno) {
    Record record;
    FileDescriptorSource missing;
    EXPECT_EQ(missing.open((::testing::TempDir() + "no-such-folder/records.txt").c_str()), ENOENT);

    FileDescriptorSource folder;
    ASSERT_EQ(folder.open("."), 0);
    RecordReader fromFolder(folder, RecordFormat::kBinary);
    EXPECT_FALSE(fromFolder.next(record));
    EXPECT_EQ(fromFolder.error(), EISDIR);
}

TEST(FileDescriptorSourceTest, ReadsAFile) {
    std::string path = ::testing::TempDir() + "records-XXXXXX";
    const int descriptor = ::mkstemp(path.data());
    ASSERT_GE(descriptor, 0);
    const std::string bytes = "one\r\ntwo\n";
    ASSERT_EQ(::write(descriptor, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(descriptor);

    FileDescriptorSource file;
    ASSERT_EQ(file.open(path.c_str()), 0);
    RecordReader reader(file, RecordFormat::kRawLines);
    Record record;
    std::vector<std::string> data;
    while (reader.next(record)) {
        data.push_back(record.data);
    }
    EXPECT_EQ(reader.error(), 0);
    EXPECT_EQ(data, (std::vector<std::string>{"one", "two"}));
    std::remove(path.c_str());
}

}  // namespace
}  // namespace barwright::batch
