#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace tarvenia {

// A list of strings kept back to back in one block of bytes, with where each
// one ends. A catalog lists a hundred thousand keys of 8 bytes, base indexes
// of one byte and titles of up to 41: held this way they cost two growing
// blocks instead of an allocation each. Items are bytes of any value; a list
// holds up to 4 GiB of them.
class PackedStrings {
public:
    using size_type = std::size_t;
    using value_type = std::string_view;

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;

        const_iterator() = default;
        const_iterator(const PackedStrings* list, size_type index)
            : list_(list)
            , index_(index)
        {
        }
        std::string_view operator*() const { return (*list_)[index_]; }
        const_iterator& operator++()
        {
            ++index_;
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator before = *this;
            ++index_;
            return before;
        }
        bool operator==(const const_iterator& other) const { return index_ == other.index_; }

    private:
        const PackedStrings* list_ = nullptr;
        size_type index_ = 0;
    };
    using iterator = const_iterator;

    PackedStrings() = default;
    PackedStrings(std::initializer_list<std::string_view> items);

    size_type size() const noexcept { return ends_.size(); }
    bool empty() const noexcept { return ends_.empty(); }
    // The item at `index` (below size()); valid until the list next changes.
    std::string_view operator[](size_type index) const noexcept
    {
        const size_type begin = index == 0 ? 0 : ends_[index - 1];
        return { bytes_.data() + begin, ends_[index] - begin };
    }
    const_iterator begin() const { return { this, 0 }; }
    const_iterator end() const { return { this, size() }; }
    // The bytes of all items together.
    size_type bytes() const noexcept { return bytes_.size(); }

    // Adds the item, or throws and leaves the list as it was.
    void push_back(std::string_view item)
    {
        ends_.push_back(End(item.size()));
        try {
            bytes_.append(item);
        } catch (...) {
            ends_.pop_back();
            throw;
        }
    }
    void append(const PackedStrings& other);
    // Room for `count` more items of `bytes` more bytes in all.
    void reserve(size_type count, size_type bytes);
    // Keeps the first `count` items (all when it holds fewer).
    void truncate(size_type count);
    void clear() noexcept;

    bool operator==(const PackedStrings&) const = default;

private:
    // Where an item of `size` more bytes ends; std::length_error beyond what
    // the ends can count.
    std::uint32_t End(size_type size) const;

    std::string bytes_;
    std::vector<std::uint32_t> ends_;
};

} // namespace tarvenia
