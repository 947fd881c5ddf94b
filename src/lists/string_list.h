#pragma once

#include <string>
#include <vector>

namespace tarvenia {

// Where LoadEntries puts the titles: the combo box's items in the window.
class StringList {
public:
    virtual ~StringList() = default;
    virtual void Add(const std::string& item) = 0;
    virtual void Clear() = 0;
    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0; // ListIndexError when out of range
    // A hint that the list is about to hold `count` items; lists that can
    // set room aside take it, others ignore it.
    virtual void Reserve(int count) { (void)count; }
};

// A StringList kept in memory (tests, tools).
class VectorStringList : public StringList {
public:
    void Add(const std::string& item) override { items.push_back(item); }
    void Clear() override { items.clear(); }
    int Count() const override { return static_cast<int>(items.size()); }
    std::string Get(int index) const override;
    void Reserve(int count) override { items.reserve(static_cast<std::size_t>(count)); }
    std::vector<std::string> items;
};

} // namespace tarvenia
