// A fresh folder under the system's temporary folder, removed with its
// contents when the test ends, and the file helpers the tests share.
#pragma once

#include <filesystem>
#include <string>

namespace tarvenia::testing {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string Path(const std::string& name) const { return (path_ / name).string(); }
    // The folder with its trailing separator, as the work paths want it.
    std::string Dir() const { return path_.string() + "/"; }
    const std::filesystem::path& Root() const { return path_; }

    // Writes `bytes` into the file `name` inside the folder; its path.
    std::string Write(const std::string& name, const std::string& bytes) const;
    static std::string Read(const std::string& path);

private:
    std::filesystem::path path_;
};

// The whole file as bytes ("" when it cannot be read).
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// True when read-only files can be written all the same (the superuser; on
// Windows, Wine run by root), so checks of read-only files must skip.
bool ReadOnlyFilesAreWritable();

} // namespace tarvenia::testing
