#pragma once

#include "lists/packed_strings.h"

#include <string>

namespace tarvenia {

// Where LoadEntries puts the titles: the combo box's items in the window.
class StringList {
public:
    virtual ~StringList() = default;
    virtual void Add(const std::string& item) = 0;
    // Appends every item in order; `items` is consumed (a list may take its
    // storage). Lists that show their items (a combo box) take them in one
    // change; this one adds them one by one. When it throws, Count() tells
    // how many were added.
    virtual void AddAll(PackedStrings&& items);
    virtual void Clear() = 0;
    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0; // ListIndexError when out of range
};

// A StringList kept in memory (tests, tools).
class VectorStringList : public StringList {
public:
    void Add(const std::string& item) override { items.push_back(item); }
    void AddAll(PackedStrings&& added) override;
    void Clear() override { items.clear(); }
    int Count() const override { return static_cast<int>(items.size()); }
    std::string Get(int index) const override;
    PackedStrings items;
};

} // namespace tarvenia
