#include "serve/WebPage.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "barwright/Version.h"
#include "serve/EntityTag.h"
#include "serve/FileDescriptor.h"

namespace barwright::serve {

namespace {

constexpr std::string_view kIndexName = "index.html";

struct FileType {
    const char* extension;
    const char* contentType;
};
constexpr FileType kFileTypes[] = {
    {".html", "text/html; charset=utf-8"},
    {".css", "text/css; charset=utf-8"},
    {".js", "text/javascript; charset=utf-8"},
    {".mjs", "text/javascript; charset=utf-8"},
    {".wasm", "application/wasm"},
    {".json", "application/json"},
    {".map", "application/json"},
    {".svg", "image/svg+xml"},
    {".png", "image/png"},
    {".ico", "image/x-icon"},
    {".txt", "text/plain; charset=utf-8"},
};

// The page shown when no web page is installed: what is served and how to
// ask for it, with an example symbol; the version goes between the two.
constexpr char kBuiltInPageStart[] = R"(<!doctype html>
<html lang="en">
<head><meta charset="utf-8"><title>barwright-serve</title></head>
<body>
<h1>PDF417 barcodes over HTTP</h1>
<p><img src="pdf417.png?data=Hello%20123&amp;col=4" alt="The PDF417 symbol of Hello 123"></p>
<p>One symbol per request, the data in the query or as a POST body:</p>
<ul>
<li><a href="pdf417.png?data=Hello%20123&amp;col=4">pdf417.png</a>: 8-bit PNG, as barwright draws it</li>
<li><a href="pdf417.png1?data=Hello%20123&amp;col=4">pdf417.png1</a>: 1-bit PNG</li>
<li><a href="pdf417.svg?data=Hello%20123&amp;col=4">pdf417.svg</a>: SVG</li>
<li><a href="pdf417.eps?data=Hello%20123&amp;col=4">pdf417.eps</a>: EPS</li>
<li><a href="pdf417.pdf?data=Hello%20123&amp;col=4">pdf417.pdf</a>: PDF</li>
<li><a href="pdf417.txt?data=Hello%20123&amp;col=4">pdf417.txt</a>: the modules as 1 and 0</li>
</ul>
<p>Keys: data, xsize, ysize, xdim, mode, ecl, col, row, cpdf, orient, bcolor, fcolor, qzone,
alignh, alignv, y2x (barwright's options), shortest and escapes (1 or 0), dpi, eci and time.
See <code>man barwright-serve</code>.</p>
<p><a href="health">health</a> &middot; barwright-serve )";
constexpr char kBuiltInPageEnd[] = R"(</p>
</body>
</html>
)";

const char* contentTypeFor(std::string_view name) {
    for (const FileType& type : kFileTypes) {
        const std::string_view extension = type.extension;
        if (name.size() > extension.size() &&
            name.substr(name.size() - extension.size()) == extension) {
            return type.contentType;
        }
    }
    return nullptr;
}

bool isServableName(std::string_view name) {
    if (name.empty() || name.front() == '.') {
        return false;
    }
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '.' || c == '-' || c == '_';
    });
}

std::string tagOf(std::string_view bytes) {
    EntityTag tag;
    tag.add(bytes);
    return tag.text();
}

// Reads a regular file of the folder whole; links are not followed. False
// for anything else or a file too large (message set for errors only).
bool readRegularFile(int folderFd, const char* name, std::size_t budget, std::string& bytes,
                     std::string& message) {
    FileDescriptor file(::openat(folderFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (!file.valid() || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    const auto size = static_cast<std::size_t>(status.st_size);
    if (size > WebPage::kMaxFileBytes || size > budget) {
        message = std::string(name) + ": the page's files may hold at most " +
                  std::to_string(WebPage::kMaxFileBytes >> 20) + " MiB each, " +
                  std::to_string(WebPage::kMaxFolderBytes >> 20) + " MiB in all";
        return false;
    }
    bytes.resize(size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(file.get(), bytes.data() + done, size - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            message = std::string(name) + ": " + (got < 0 ? std::strerror(errno) : "cut short");
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};

}  // namespace

WebPage::WebPage() {
    builtIn_.contentType = "text/html; charset=utf-8";
    builtIn_.bytes = std::string(kBuiltInPageStart) + version() + kBuiltInPageEnd;
    builtIn_.entityTag = tagOf(builtIn_.bytes);
}

bool WebPage::load(const std::string& folder, bool mustExist, std::string& message) {
    files_.clear();
    FileDescriptor folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folderFd.valid()) {
        if (errno == ENOENT && !mustExist) {
            return true;
        }
        message = "the web page's folder " + folder + ": " + std::strerror(errno);
        return false;
    }
    if (!readFolder(folderFd.get(), message)) {
        message = "the web page's folder " + folder + ": " + message;
        files_.clear();
        return false;
    }
    const auto index = std::find_if(files_.begin(), files_.end(),
                                    [](const PageFile& file) { return file.name == kIndexName; });
    if (index == files_.end()) {
        // No page without its index: the folder is not (yet) a page.
        files_.clear();
    } else {
        std::rotate(files_.begin(), index, index + 1);
    }
    return true;
}

bool WebPage::readFolder(int folderFd, std::string& message) {
    // The listing walks a descriptor of its own, so that the folder's stays
    // for openat.
    std::unique_ptr<DIR, DirectoryCloser> listing(::fdopendir(::dup(folderFd)));
    if (!listing) {
        message = std::strerror(errno);
        return false;
    }
    std::size_t total = 0;
    errno = 0;
    while (const dirent* entry = ::readdir(listing.get())) {
        const std::string_view name = entry->d_name;
        const char* contentType = contentTypeFor(name);
        PageFile file;
        if (isServableName(name) && contentType != nullptr &&
            readRegularFile(folderFd, entry->d_name, kMaxFolderBytes - total, file.bytes,
                            message)) {
            total += file.bytes.size();
            file.name = name;
            file.contentType = contentType;
            file.entityTag = tagOf(file.bytes);
            files_.push_back(std::move(file));
        } else if (!message.empty()) {
            return false;
        }
        errno = 0;
    }
    if (errno != 0) {
        message = std::strerror(errno);
        return false;
    }
    std::sort(files_.begin(), files_.end(),
              [](const PageFile& a, const PageFile& b) { return a.name < b.name; });
    return true;
}

const PageFile* WebPage::find(std::string_view path) const {
    if (path == "/") {
        return files_.empty() ? &builtIn_ : &files_.front();
    }
    if (path.size() < 2 || path.front() != '/') {
        return nullptr;
    }
    path.remove_prefix(1);
    for (const PageFile& file : files_) {
        if (file.name == path) {
            return &file;
        }
    }
    return nullptr;
}

}  // namespace barwright::serve
