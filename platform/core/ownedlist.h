#pragma once
// TOwnedList: an ordered list of heap records that owns them. Deleting an item from the list frees
// it; Extract hands it to the caller instead. Copying the list copies every record, so a copy
// never shares a record (nor anything a record owns) with the original.
//
// Indexes outside 0..Count()-1 raise std::out_of_range. Thread safety: none.

#include "platform/core/prefetch.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kav {

template <class T> class TOwnedList {
public:
    TOwnedList() = default;
    TOwnedList(const TOwnedList& other) { Assign(other); }
    TOwnedList& operator=(const TOwnedList& other) {
        if (this != &other) Assign(other);
        return *this;
    }
    TOwnedList(TOwnedList&&) noexcept = default;
    TOwnedList& operator=(TOwnedList&&) noexcept = default;
    ~TOwnedList() { FreeAll(); }

    int Count() const noexcept { return static_cast<int>(items_.size()); }
    bool Empty() const noexcept { return items_.empty(); }

    // Returns the new item's index.
    int Add(std::unique_ptr<T> item) {
        items_.push_back(std::move(item));
        return Count() - 1;
    }
    void Insert(int index, std::unique_ptr<T> item) {
        if (index < 0 || index > Count()) OutOfRange(index);
        items_.insert(items_.begin() + index, std::move(item));
    }
    // Takes the item out of the list without freeing it; null when it is not in the list.
    std::unique_ptr<T> Extract(const T* item) {
        const int index = IndexOf(item);
        if (index < 0) return nullptr;
        std::unique_ptr<T> taken = std::move(items_[static_cast<std::size_t>(index)]);
        items_.erase(items_.begin() + index);
        return taken;
    }
    // Frees the item; returns its former index, -1 when it is not in the list.
    int Remove(const T* item) {
        const int index = IndexOf(item);
        if (index >= 0) Delete(index);
        return index;
    }
    void Delete(int index) {
        Check(index);
        items_.erase(items_.begin() + index);
    }
    void Clear() noexcept { FreeAll(); }
    void Reserve(int count) { items_.reserve(static_cast<std::size_t>(count)); }

    int IndexOf(const T* item) const noexcept {
        const auto found = std::find_if(items_.begin(), items_.end(),
                                        [&](const std::unique_ptr<T>& own) { return own.get() == item; });
        return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
    }
    T& First() const { return Items(0); }
    T& Last() const { return Items(Count() - 1); }
    T& Items(int index) const {
        Check(index);
        return *items_[static_cast<std::size_t>(index)];
    }
    // Replaces item index, freeing the previous one.
    void SetItems(int index, std::unique_ptr<T> item) {
        Check(index);
        items_[static_cast<std::size_t>(index)] = std::move(item);
    }

    // An independent copy of item index; the caller owns it.
    std::unique_ptr<T> GetCloneItems(int index) const { return std::make_unique<T>(Items(index)); }
    // Clears the list, then appends a copy of every item of other.
    void Assign(const TOwnedList& other) {
        std::vector<std::unique_ptr<T>> copies;
        copies.reserve(other.items_.size());
        for (const auto& item : other.items_)
            copies.push_back(std::make_unique<T>(*item));
        FreeAll();
        items_ = std::move(copies);
    }

    auto begin() const noexcept { return items_.begin(); }
    auto end() const noexcept { return items_.end(); }

private:
    // Frees the items in order. Freeing a record reads every string it holds, and records lie
    // scattered over the heap: the item after next is fetched while one is freed.
    void FreeAll() noexcept {
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (i + 2 < items_.size()) PrefetchBytes(items_[i + 2].get(), sizeof(T));
            items_[i].reset();
        }
        items_.clear();
    }
    void Check(int index) const {
        if (index < 0 || index >= Count()) OutOfRange(index);
    }
    [[noreturn]] void OutOfRange(int index) const {
        throw std::out_of_range("list index " + std::to_string(index) + " out of bounds (" +
                                std::to_string(Count()) + " items)");
    }

    std::vector<std::unique_ptr<T>> items_;
};

} // namespace kav
