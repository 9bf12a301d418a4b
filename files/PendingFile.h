#pragma once

#include <signal.h>

#include <cerrno>
#include <initializer_list>
#include <string>

namespace barwright {

// A hidden file that exists only until an operation completes: a picture
// being written under a temporary name, or the short-lived second name of a
// finished one. While it exists its name stands in a process-wide registry of
// fixed size, so that a signal that ends the process (see removeOnSignals)
// removes it rather than leaving it behind. The registry may be used by many
// threads at once; its signal handler allocates nothing and calls only
// async-signal-safe functions.
//
// The object owns the file: destroying it removes the file, unless forget()
// said that the file has taken its final name.
class PendingFile {
public:
    // Files registered at once, across all threads. Beyond that a file is
    // still made and removed as usual, only a signal would leave it behind.
    static constexpr int kCapacity = 64;

    // Installs, for each signal, a handler that removes every registered file
    // and then ends the process by that signal, as it would have ended
    // without the handler. A signal that is ignored stays ignored (as under
    // nohup). Meant to be called once, early; false when a handler could not
    // be installed.
    [[nodiscard]] static bool removeOnSignals(std::initializer_list<int> signalNumbers);

    PendingFile() = default;
    ~PendingFile() { remove(); }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Makes the file under a fresh hidden name in the folder (".barwright-"
    // and six letters or digits) by calling make(path), which must create the
    // file exactly at path, failing when the name is taken (O_EXCL, link),
    // and return true when it did, false with errno set when it did not. A
    // taken name is retried with another. Signals wait in this thread from
    // before the making until the name is registered, so a handler running
    // on this thread never finds the file made but not yet registered (one
    // on another thread could, for the few instructions in between). False,
    // with errno set, when no file could be made.
    template <typename Make>
    [[nodiscard]] bool create(const std::string& folder, Make make);

    // The file's name; empty when there is none.
    const std::string& path() const { return path_; }
    // Removes the file, if there is one.
    void remove();
    // The file has been renamed to its final name: keep it.
    void forget();

private:
    static constexpr int kAttempts = 100;

    // Chooses a fresh name in the folder and claims a registry slot for it
    // (when one is free and the name fits), holding the signals back.
    void claim(const std::string& folder);
    // After claim: registers the file that was made, or gives the slot
    // back; both let the signals through again.
    void publish();
    void release();

    std::string path_;
    int slot_ = -1;  // -1 when the registry was full
    sigset_t heldSignals_{};
};

template <typename Make>
bool PendingFile::create(const std::string& folder, Make make) {
    remove();
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        claim(folder);
        if (make(path_.c_str())) {
            publish();
            return true;
        }
        const int error = errno;
        release();
        errno = error;
        if (error != EEXIST) {
            return false;
        }
    }
    return false;  // errno is still EEXIST
}

}  // namespace barwright
