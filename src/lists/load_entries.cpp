#include "lists/load_entries.h"

#include "base/file.h"
#include "lists/catalog_reader.h"
#include "lists/keys.h"
#include "lists/packed_strings.h"
#include "lists/string_list.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>

namespace tarvenia {

namespace {

    // Field positions of a catalog line, counted from 0.
    constexpr std::size_t kKeyLength = 8;
    constexpr std::size_t kBasePos = 8;
    constexpr std::size_t kTitlePos = 9;
    constexpr std::size_t kLineWidth = 50; // bytes after this are ignored

    // Room is set aside from the file's size, so that the lists seldom grow
    // (and copy themselves) on the way. The titles are part of the file's
    // bytes: room for the file's size holds them all. Entries are counted as
    // lines of this many bytes (a key, a base index, a short title, CR LF);
    // a file of shorter lines grows its lists as usual. Up to kMaxReserve
    // bytes are set aside at once. Room set aside is address space: pages
    // are only taken when written.
    constexpr std::uint64_t kBytesPerEntry = 16;
    constexpr std::uint64_t kMaxReserve = 64 * 1024 * 1024;

    // The entries of one load. Keys and base indexes go straight to their
    // lists as the lines are read; the titles are gathered and handed to the
    // title list in one call, so that a combo box takes them all at once.
    class Load {
    public:
        Load(StringList& titles, PackedStrings& bases, PackedStrings& keys)
            : titles_(titles)
            , bases_(bases)
            , keys_(keys)
            , bases_before_(bases.size())
            , keys_before_(keys.size())
        {
        }

        void Reserve(std::uint64_t file_size)
        {
            const std::uint64_t bytes = std::min(file_size, kMaxReserve);
            const auto entries = static_cast<std::size_t>(bytes / kBytesPerEntry + 1);
            pending_.reserve(entries, static_cast<std::size_t>(bytes));
            bases_.reserve(entries, entries);
            keys_.reserve(entries, entries * kKeyLength);
        }

        void Add(std::string_view line)
        {
            // The key goes last: an entry is complete once its key is in.
            pending_.push_back(
                line.size() > kTitlePos ? line.substr(kTitlePos) : std::string_view());
            bases_.push_back(
                line.size() > kBasePos ? line.substr(kBasePos, 1) : std::string_view());
            keys_.push_back(line.substr(0, kKeyLength));
        }

        // Hands the titles over. Whatever stopped the load or fails here,
        // the lists end parallel: they keep the entries whose title the
        // title list took.
        void Finish()
        {
            const std::size_t complete = keys_.size() - keys_before_;
            pending_.truncate(complete);
            const int titles_before = titles_.Count();
            try {
                titles_.AddAll(std::move(pending_));
            } catch (...) {
                Trim(static_cast<std::size_t>(titles_.Count() - titles_before));
                throw;
            }
            Trim(complete);
        }

    private:
        void Trim(std::size_t entries)
        {
            bases_.truncate(bases_before_ + entries);
            keys_.truncate(keys_before_ + entries);
        }

        StringList& titles_;
        PackedStrings& bases_;
        PackedStrings& keys_;
        const std::size_t bases_before_;
        const std::size_t keys_before_;
        PackedStrings pending_;
    };

} // namespace

void LoadEntries(const std::string& path, const std::string& current_key, StringList& titles,
    PackedStrings& bases, PackedStrings& keys)
{
    Load load(titles, bases, keys);
    {
        File file(path, File::Mode::Read);
        try {
            CatalogReader reader(file);
            load.Reserve(reader.FileSize());
            std::string_view line;
            while (reader.NextLine(line, kLineWidth)) {
                if (CompareKeys(line.substr(0, kKeyLength), current_key) <= 0)
                    load.Add(line);
            }
        } catch (...) {
            // The entries read before a failure still reach the lists.
            load.Finish();
            throw;
        }
    } // closed before the titles are handed over
    load.Finish();
}

} // namespace tarvenia
