#include "lists/load_entries.h"

#include "base/error.h"
#include "base/file.h"
#include "lists/catalog_reader.h"
#include "lists/keys.h"
#include "lists/string_list.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace tarvenia {

namespace {

    // Field positions of a catalog line, counted from 0.
    constexpr std::size_t kKeyLength = 8;
    constexpr std::size_t kBasePos = 8;
    constexpr std::size_t kTitlePos = 9;
    constexpr std::size_t kLineWidth = 50; // bytes after this are ignored

    // Up to this much is set aside at once for the lines of a file.
    constexpr std::uint64_t kMaxReserve = 64 * 1024 * 1024;

    // The listed lines (their first 50 bytes) gathered before the lists get
    // them: knowing the count first lets the lists take their room in one
    // step instead of growing a hundred thousand entries by copying.
    class ListedLines {
    public:
        void Reserve(std::uint64_t file_size)
        {
            bytes_.reserve(static_cast<std::size_t>(std::min(file_size, kMaxReserve)));
        }
        void Add(std::string_view line)
        {
            bytes_.append(line);
            ends_.push_back(bytes_.size());
        }
        void AppendTo(
            StringList& titles, std::vector<std::string>& bases, std::vector<std::string>& keys)
        {
            titles.Reserve(titles.Count() + static_cast<int>(ends_.size()));
            bases.reserve(bases.size() + ends_.size());
            keys.reserve(keys.size() + ends_.size());
            std::string title;
            std::size_t begin = 0;
            for (std::size_t end : ends_) {
                std::string_view line(bytes_.data() + begin, end - begin);
                begin = end;
                if (line.size() > kTitlePos)
                    title.assign(line.substr(kTitlePos));
                else
                    title.clear();
                titles.Add(title);
                bases.emplace_back(
                    line.size() > kBasePos ? line.substr(kBasePos, 1) : std::string_view());
                keys.emplace_back(line.substr(0, kKeyLength));
            }
            ends_.clear();
            bytes_.clear();
        }

    private:
        std::string bytes_;
        std::vector<std::size_t> ends_;
    };

} // namespace

void LoadEntries(const std::string& path, const std::string& current_key, StringList& titles,
    std::vector<std::string>& bases, std::vector<std::string>& keys)
{
    ListedLines listed;
    {
        File file(path, File::Mode::Read);
        try {
            listed.Reserve(file.Size());
            CatalogReader reader(file);
            std::string line;
            while (reader.NextLine(line, kLineWidth)) {
                if (CompareKeys(std::string_view(line).substr(0, kKeyLength), current_key) <= 0)
                    listed.Add(line);
            }
        } catch (const Error&) {
            // The entries read before a failing read still reach the lists.
            listed.AppendTo(titles, bases, keys);
            throw;
        }
    } // closed before the lists are filled
    listed.AppendTo(titles, bases, keys);
}

} // namespace tarvenia
