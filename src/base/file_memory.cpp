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
        std::map<std::string, Bytes, std::less<>> files;
        // A handle is an index here; a closed one is an empty slot.
        std::vector<OpenFile> open;
    };

    Store& Files()
    {
        static Store* const store = new Store; // used until the process ends
        return *store;
    }

    constexpr int kFileMissing = 2;

    OpenFile& Opened(Store& store, int handle)
    {
        return store.open.at(static_cast<std::size_t>(handle));
    }

} // namespace

File::File(const std::string& path, Mode mode)
{
    Store& store = Files();
    std::lock_guard lock(store.mutex);
    auto found = store.files.find(path);
    Bytes bytes;
    if (mode == Mode::Create || mode == Mode::CreateExclusive) {
        if (found == store.files.end())
            found = store.files.emplace(path, std::make_shared<std::string>()).first;
        found->second->clear();
    } else if (found == store.files.end()) {
        throw IoError(kFileMissing);
    }
    OpenFile opened { found->second, mode == Mode::Append ? found->second->size() : 0 };
    auto slot = std::find_if(
        store.open.begin(), store.open.end(), [](const OpenFile& f) { return !f.bytes; });
    if (slot == store.open.end())
        slot = store.open.insert(slot, OpenFile {});
    *slot = std::move(opened);
    fd_ = static_cast<int>(slot - store.open.begin());
}

File::~File()
{
    try {
        Close();
    } catch (...) {
    }
}

File::File(File&& other) noexcept
    : fd_(other.fd_)
{
    other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        try {
            Close();
        } catch (...) {
        }
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

std::size_t File::Read(void* data, std::size_t size)
{
    Store& store = Files();
    std::lock_guard lock(store.mutex);
    OpenFile& f = Opened(store, fd_);
    const std::uint64_t end = f.bytes->size();
    const std::size_t n = f.position >= end
        ? 0
        : static_cast<std::size_t>(std::min<std::uint64_t>(size, end - f.position));
    if (n > 0)
        std::memcpy(data, f.bytes->data() + f.position, n);
    f.position += n;
    return n;
}

void File::Write(const void* data, std::size_t size)
{
    Store& store = Files();
    std::lock_guard lock(store.mutex);
    OpenFile& f = Opened(store, fd_);
    std::string& bytes = *f.bytes;
    const auto at = static_cast<std::size_t>(f.position);
    if (bytes.size() < at + size)
        bytes.resize(at + size, '\0');
    bytes.replace(at, size, static_cast<const char*>(data), size);
    f.position += size;
}

std::uint64_t File::Size()
{
    Store& store = Files();
    std::lock_guard lock(store.mutex);
    return Opened(store, fd_).bytes->size();
}

void File::Seek(std::uint64_t offset)
{
    Store& store = Files();
    std::lock_guard lock(store.mutex);
    Opened(store, fd_).position = offset;
}

void File::Truncate(std::uint64_t size)
{
    Store& store = Files();
    std::lock_guard lock(store.mutex);
    Opened(store, fd_).bytes->resize(static_cast<std::size_t>(size), '\0');
}

void File::Close()
{
    if (fd_ < 0)
        return;
    Store& store = Files();
    std::lock_guard lock(store.mutex);
    Opened(store, fd_) = OpenFile {};
    fd_ = -1;
}

bool File::Exists(const std::string& path)
{
    Store& store = Files();
    std::lock_guard lock(store.mutex);
    return store.files.count(path) != 0;
}

void File::Erase(const std::string& path)
{
    Store& store = Files();
    std::lock_guard lock(store.mutex);
    if (store.files.erase(path) == 0)
        throw IoError(kFileMissing);
}

void File::Rename(const std::string& from, const std::string& to)
{
    Store& store = Files();
    std::lock_guard lock(store.mutex);
    auto found = store.files.find(from);
    if (found == store.files.end())
        throw IoError(kFileMissing);
    Bytes bytes = found->second;
    store.files.erase(found);
    store.files[to] = std::move(bytes);
}

namespace memory_files {

    void Put(const std::string& path, const std::string& bytes)
    {
        Store& store = Files();
        std::lock_guard lock(store.mutex);
        Bytes& file = store.files[path];
        if (!file)
            file = std::make_shared<std::string>();
        *file = bytes;
    }

    std::optional<std::string> Get(const std::string& path)
    {
        Store& store = Files();
        std::lock_guard lock(store.mutex);
        auto found = store.files.find(path);
        if (found == store.files.end())
            return std::nullopt;
        return *found->second;
    }

    void Remove(const std::string& path)
    {
        Store& store = Files();
        std::lock_guard lock(store.mutex);
        store.files.erase(path);
    }

} // namespace memory_files

} // namespace tarvenia
