// Catalog lines: the format of the catalog copy and of the favourites file.
// A line is key (bytes 1-8), base index (byte 9), title (bytes 10-50).
// Everything here is bytes; titles are never converted.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarvenia {

class File;

// Keys compare byte by byte as unsigned values; a key that is the beginning
// of another is lower. Returns <0, 0 or >0.
int CompareKeys(std::string_view a, std::string_view b) noexcept;

// Reads the lines of a catalog file by the program's reading rules: blanks
// (bytes <= 0x20 except 0x1A) before a line are skipped, CR or CR LF ends a
// line, LF is an ordinary byte, 0x1A ends the data, lines have no length limit.
class CatalogReader {
public:
    explicit CatalogReader(File& file);
    // Next line into `line`; false when the file holds no further line.
    bool NextLine(std::string& line);

private:
    int Peek();
    int Get();
    bool Fill();

    File& file_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false;
};

// Where LoadEntries puts the titles: the combo box's items in the window.
class StringList {
public:
    virtual ~StringList() = default;
    virtual void Add(const std::string& item) = 0;
    virtual void Clear() = 0;
    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0; // ListIndexError when out of range
};

// A StringList kept in memory (tests, tools).
class VectorStringList : public StringList {
public:
    void Add(const std::string& item) override { items.push_back(item); }
    void Clear() override { items.clear(); }
    int Count() const override { return static_cast<int>(items.size()); }
    std::string Get(int index) const override;
    std::vector<std::string> items;
};

// Appends one entry to the three parallel lists for each line of the file
// whose key is not above `current_key`, in file order. Throws IoError when the
// file cannot be opened or read; entries appended before stay. The file is
// closed on every path.
void LoadEntries(const std::string& path, const std::string& current_key, StringList& titles,
    std::vector<std::string>& bases, std::vector<std::string>& keys);

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

    CatalogWriter(CatalogWriter&&) noexcept;
    ~CatalogWriter();

    void WriteLine(const std::string& key, const std::string& base, const std::string& title);
    // Completes the file on disk; throws IoError when that fails.
    void Close();

private:
    explicit CatalogWriter(File&& file);
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace tarvenia
