// File with its files in this process's memory: the variant for the fuzz
// targets, which rewrite, rename and delete their files for every input,
// many thousand times a second, where the system calls of real files would
// take most of the time. It keeps what the program relies on from POSIX
// files: a missing file is error 2, Create empties, Append starts at the
// end, writing past the end fills with zero bytes, a renamed or deleted file
// stays readable through the handles already open on it. There are no
// folders, links or permissions: every folder exists and every file may be
// written.
#include "base/error.h"
#include "base/file.h"
#include "base/memory_files.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace tarvenia {

namespace {

    using Bytes = std::shared_ptr<std::string>;

    struct OpenFile {
        Bytes bytes;
        std::uint64_t position = 0;
    };

    struct Store {
        std::mutex mutex;
        std::map<std::string, Bytes> files;
        // A handle is an index here; a closed one is an empty slot.
        std::vector<OpenFile> open;
    };

    Store& TheStore()
    {
        static Store* const store = new Store; // used until the process ends
        return *store;
    }

    // Runs `action` on the files, holding their lock.
    template <class Action> auto WithFiles(Action action)
    {
        Store& store = TheStore();
        std::lock_guard lock(store.mutex);
        return action(store);
    }

    // The file at `path`, created empty when missing.
    std::string& FileAt(Store& store, const std::string& path)
    {
        Bytes& file = store.files[path];
        if (!file)
            file = std::make_shared<std::string>();
        return *file;
    }

    constexpr int kFileMissing = 2;

    OpenFile& Opened(Store& store, int handle)
    {
        return store.open.at(static_cast<std::size_t>(handle));
    }

} // namespace

File::File(const std::string& path, Mode mode)
{
    fd_ = WithFiles([&](Store& store) {
        if (mode == Mode::Create || mode == Mode::CreateExclusive)
            FileAt(store, path).clear();
        auto found = store.files.find(path);
        if (found == store.files.end())
            throw IoError(kFileMissing);
        const Bytes& bytes = found->second;
        OpenFile opened { bytes, mode == Mode::Append ? bytes->size() : 0 };
        auto slot = std::find_if(
            store.open.begin(), store.open.end(), [](const OpenFile& f) { return !f.bytes; });
        if (slot == store.open.end())
            slot = store.open.insert(slot, OpenFile {});
        *slot = std::move(opened);
        return static_cast<int>(slot - store.open.begin());
    });
}

// Closing never fails here.
File::~File() { Close(); }

File::File(File&& other) noexcept
    : fd_(other.fd_)
{
    other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

std::size_t File::Read(void* data, std::size_t size)
{
    return WithFiles([&](Store& store) {
        OpenFile& f = Opened(store, fd_);
        const std::uint64_t end = f.bytes->size();
        const std::size_t n = f.position >= end
            ? 0
            : static_cast<std::size_t>(std::min<std::uint64_t>(size, end - f.position));
        if (n > 0)
            std::memcpy(data, f.bytes->data() + f.position, n);
        f.position += n;
        return n;
    });
}

void File::Write(const void* data, std::size_t size)
{
    WithFiles([&](Store& store) {
        OpenFile& f = Opened(store, fd_);
        std::string& bytes = *f.bytes;
        const auto at = static_cast<std::size_t>(f.position);
        if (bytes.size() < at + size)
            bytes.resize(at + size, '\0');
        bytes.replace(at, size, static_cast<const char*>(data), size);
        f.position += size;
    });
}

std::uint64_t File::Size()
{
    return WithFiles(
        [&](Store& store) -> std::uint64_t { return Opened(store, fd_).bytes->size(); });
}

void File::Seek(std::uint64_t offset)
{
    WithFiles([&](Store& store) { Opened(store, fd_).position = offset; });
}

void File::Truncate(std::uint64_t size)
{
    WithFiles([&](Store& store) {
        Opened(store, fd_).bytes->resize(static_cast<std::size_t>(size), '\0');
    });
}

void File::Close()
{
    if (fd_ < 0)
        return;
    WithFiles([&](Store& store) { Opened(store, fd_) = OpenFile {}; });
    fd_ = -1;
}

bool File::Exists(const std::string& path)
{
    return WithFiles([&](Store& store) { return store.files.count(path) != 0; });
}

void File::Erase(const std::string& path)
{
    WithFiles([&](Store& store) {
        if (store.files.erase(path) == 0)
            throw IoError(kFileMissing);
    });
}

void File::Rename(const std::string& from, const std::string& to)
{
    WithFiles([&](Store& store) {
        auto found = store.files.find(from);
        if (found == store.files.end())
            throw IoError(kFileMissing);
        Bytes bytes = found->second;
        store.files.erase(found);
        store.files[to] = std::move(bytes);
    });
}

namespace memory_files {

    void Put(const std::string& path, const std::string& bytes)
    {
        WithFiles([&](Store& store) { FileAt(store, path) = bytes; });
    }

    std::optional<std::string> Get(const std::string& path)
    {
        return WithFiles([&](Store& store) -> std::optional<std::string> {
            auto found = store.files.find(path);
            if (found == store.files.end())
                return std::nullopt;
            return *found->second;
        });
    }

    void Remove(const std::string& path)
    {
        WithFiles([&](Store& store) { store.files.erase(path); });
    }

} // namespace memory_files

} // namespace tarvenia
