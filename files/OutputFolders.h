#pragma once

#include <string>
#include <string_view>

#include "barwright/Status.h"

namespace barwright {

// The folders that output file names need.

// Creates every missing folder on the way to the file, as mkdir -p would,
// with the permissions the umask leaves. 0, or the errno of the first folder
// that could not be made (ENOTDIR where a file is in the way). Safe on
// several threads at once: a folder another made meanwhile counts as made.
[[nodiscard]] int createFoldersFor(const std::string& fileName);

// The folder part of the file name ("labels/2024" of "labels/2024/7.png")
// when that folder does not exist; empty when it does, or the name has none.
std::string missingFolderOf(const std::string& fileName);

// Writes bytes as the whole of the named file (OutputFile::writeWhole),
// first creating the folders it needs when makeFolders is set. On a failure
// (kCantOpenOutput, kCantCloseOutput) reason is the system's reason, or why
// a folder could not be made, and missingFolder the name's folder when that
// does not exist (else empty).
[[nodiscard]] Status writeFileCreatingFolders(const std::string& fileName, std::string_view bytes,
                                              bool makeFolders, std::string& reason,
                                              std::string& missingFolder);

}  // namespace barwright
