#include "lists/packed_strings.h"

#include <limits>
#include <stdexcept>

namespace tarvenia {

PackedStrings::PackedStrings(std::initializer_list<std::string_view> items)
{
    for (std::string_view item : items)
        push_back(item);
}

std::uint32_t PackedStrings::End(size_type size) const
{
    constexpr size_type kMax = std::numeric_limits<std::uint32_t>::max();
    if (size > kMax - bytes_.size())
        throw std::length_error("PackedStrings");
    return static_cast<std::uint32_t>(bytes_.size() + size);
}

void PackedStrings::append(const PackedStrings& other)
{
    const std::uint32_t offset
        = End(other.bytes_.size()) - static_cast<std::uint32_t>(other.bytes_.size());
    ends_.reserve(ends_.size() + other.ends_.size());
    bytes_.append(other.bytes_); // nothing throws after it
    for (std::uint32_t end : other.ends_)
        ends_.push_back(offset + end);
}

void PackedStrings::reserve(size_type count, size_type bytes)
{
    ends_.reserve(ends_.size() + count);
    bytes_.reserve(bytes_.size() + bytes);
}

void PackedStrings::truncate(size_type count)
{
    if (count >= ends_.size())
        return;
    bytes_.resize(count == 0 ? 0 : ends_[count - 1]);
    ends_.resize(count);
}

void PackedStrings::clear() noexcept
{
    bytes_.clear();
    ends_.clear();
}

} // namespace tarvenia
