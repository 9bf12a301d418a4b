#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace barwright::serve {

// A file served as it is, held in memory.
struct PageFile {
    std::string name;                   // "index.html"; empty for the built-in page
    const char* contentType = nullptr;  // by the name's extension
    std::string bytes;
    std::string entityTag;  // of the bytes
};

// The web page served at "/": the files of one folder (the JavaScript page
// when it is installed), all read once at start-up, so that no request ever
// opens a file and none can name one outside the folder. Only regular files
// directly in the folder are taken, by names of letters, digits, '.', '-'
// and '_' not starting with '.', with an extension of a known type; links,
// folders and everything else are left alone. Without an index.html in the
// folder, "/" is a short built-in page that links the formats.
class WebPage {
public:
    // The built-in page alone, until load finds a page.
    WebPage();

    // The most a page may hold: a file and the whole folder.
    static constexpr std::size_t kMaxFileBytes = std::size_t{16} << 20;
    static constexpr std::size_t kMaxFolderBytes = std::size_t{64} << 20;

    // Reads folder's files. A folder that does not exist leaves the
    // built-in page, and so does one without index.html; false with a
    // message for a folder that cannot be read, or one beyond the limits.
    [[nodiscard]] bool load(const std::string& folder, bool mustExist, std::string& message);

    // The file for a request's path ("/" is the index), or null.
    const PageFile* find(std::string_view path) const;

    // Whether "/" is the folder's index.html rather than the built-in page.
    bool hasPage() const { return !files_.empty(); }

private:
    [[nodiscard]] bool readFolder(int folderFd, std::string& message);

    std::vector<PageFile> files_;  // index.html first, when there is a page
    PageFile builtIn_;
};

}  // namespace barwright::serve
