#include "lists/catalog_writer.h"

#include "base/file.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace tarvenia {

namespace {

    // Files that older editors closed with a Ctrl-Z keep it near their end;
    // only this many last bytes are searched for it.
    constexpr std::uint64_t kTailSize = 128;
    constexpr char kEndOfData = 0x1A;

    // Cuts the file before the first 0x1A of its tail and leaves the position
    // at the new end.
    void CutAtEndOfData(File& file)
    {
        std::uint64_t size = file.Size();
        std::uint64_t tail_start = size - std::min(size, kTailSize);
        char tail[kTailSize];
        file.Seek(tail_start);
        std::size_t got = 0;
        auto wanted = static_cast<std::size_t>(size - tail_start);
        while (got < wanted) {
            std::size_t n = file.Read(tail + got, wanted - got);
            if (n == 0)
                break;
            got += n;
        }
        const char* mark = std::find(tail, tail + got, kEndOfData);
        std::uint64_t end = tail_start + static_cast<std::uint64_t>(mark - tail);
        if (mark != tail + got)
            file.Truncate(end);
        file.Seek(end);
    }

} // namespace

struct CatalogWriter::Impl {
    File file;
    // Replace only: the file written and the one it is to replace.
    std::string temp_path;
    std::string target_path;

    ~Impl()
    {
        if (target_path.empty())
            return;
        // Never put in place: the new version is dropped, the old one stays.
        try {
            file.Close();
        } catch (...) {
        }
        try {
            File::Erase(temp_path);
        } catch (...) {
        }
    }
};

CatalogWriter::CatalogWriter(File&& file)
    : impl_(new Impl { std::move(file), {}, {} })
{
}

CatalogWriter::CatalogWriter(CatalogWriter&&) noexcept = default;
CatalogWriter::~CatalogWriter() = default;

CatalogWriter CatalogWriter::Create(const std::string& path)
{
    return CatalogWriter(File(path, File::Mode::Create));
}

CatalogWriter CatalogWriter::Append(const std::string& path)
{
    File file(path, File::Mode::Append);
    CutAtEndOfData(file);
    return CatalogWriter(std::move(file));
}

CatalogWriter CatalogWriter::AppendOrCreate(const std::string& path)
{
    return File::Exists(path) ? Append(path) : Create(path);
}

CatalogWriter CatalogWriter::Replace(const std::string& path)
{
    if (File::Exists(path))
        File(path, File::Mode::ReadWriteShared).Close();
    std::string temp = path + ".new";
    CatalogWriter writer(File(temp, File::Mode::Create));
    writer.impl_->temp_path = temp;
    writer.impl_->target_path = path;
    return writer;
}

void CatalogWriter::WriteLine(std::string_view key, std::string_view base, std::string_view title)
{
    // The line goes out in one write, not one per field.
    std::string line;
    line.reserve(key.size() + base.size() + title.size() + 2);
    line += key;
    line += base;
    line += title;
    line += "\r\n";
    impl_->file.Write(line);
}

void CatalogWriter::Close()
{
    if (!impl_)
        return;
    impl_->file.Close();
    if (!impl_->target_path.empty()) {
        File::Rename(impl_->temp_path, impl_->target_path);
        impl_->target_path.clear();
    }
}

} // namespace tarvenia
