#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tarvenia {

class File;

// Writes catalog lines: key + base index + title + CR LF.
class CatalogWriter {
public:
    // Create: an existing file is emptied, a missing one created.
    static CatalogWriter Create(const std::string& path);
    // Append: the file must exist; a 0x1A among its last 128 bytes cuts it
    // just before the first such byte; new lines follow the last byte kept.
    static CatalogWriter Append(const std::string& path);
    // Open for appending when the file exists, otherwise create it.
    static CatalogWriter AppendOrCreate(const std::string& path);
    // Writes a new version of the file: the lines go to a file beside it
    // that takes its place only when Close() succeeds. A failure on the way
    // (a full disk) leaves the old file as it was. An existing file that may
    // not be written is refused as Create would refuse it.
    static CatalogWriter Replace(const std::string& path);

    CatalogWriter(CatalogWriter&&) noexcept;
    ~CatalogWriter();

    void WriteLine(std::string_view key, std::string_view base, std::string_view title);
    // Completes the file on disk; throws IoError when that fails.
    void Close();

private:
    explicit CatalogWriter(File&& file);
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace tarvenia
