// An exclusive lock on a file, held until it is released, the object goes or
// the process ends (the system releases it then, also after a crash). Two
// locks on the same path conflict, also within one process. While one is
// held, the file's few bytes of note stay readable by everyone, so a process
// that finds it taken can learn who holds it. Variants: file_lock_posix.cpp
// (flock), file_lock_windows.cpp (LockFileEx).
#pragma once

#include <string>

namespace tarvenia {

class FileLock {
public:
    // Opens the lock file, creating it (readable by its owner only on POSIX)
    // when missing. Throws IoError.
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock without waiting: false while another lock holds it.
    bool TryLock();
    void Unlock();
    bool Locked() const { return locked_; }

    // The note of the holder: replaced by the holder, read by anyone ("" when
    // there is none or it cannot be read).
    void WriteNote(const std::string& note);
    std::string ReadNote();

private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
    bool locked_ = false;
};

} // namespace tarvenia
