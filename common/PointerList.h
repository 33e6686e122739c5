#pragma once

#include <cstddef>
#include <vector>

// A growable array of object pointers. Its capacity grows in steps of a granularity given in
// bytes; an owning list deletes its elements, last in first out.
template <class T> class PointerList {
public:
    explicit PointerList(bool owns, int granularityBytes = 4096)
        : owns_(owns),
          step_(granularityBytes > int(sizeof(T*)) ? granularityBytes / sizeof(T*) : 1) {}
    ~PointerList() { RemoveAll(); }
    PointerList(const PointerList&) = delete;
    PointerList& operator=(const PointerList&) = delete;

    T* Append(T* element) {
        if (items_.size() == items_.capacity()) {
            items_.reserve(items_.capacity() + step_);
        }
        items_.push_back(element);
        return element;
    }

    // Inserts at index (held within the list), shifting that element and later ones up.
    T* Insert(int index, T* element) {
        if (index < 0) {
            index = 0;
        }
        if (index > Count()) {
            index = Count();
        }
        if (items_.size() == items_.capacity()) {
            items_.reserve(items_.capacity() + step_);
        }
        items_.insert(items_.begin() + index, element);
        return element;
    }

    // Removes the element at index, shifting later ones down; an owning list deletes it.
    void Remove(int index) {
        if (index < 0 || index >= Count()) {
            return;
        }
        T* element = items_[size_t(index)];
        items_.erase(items_.begin() + index);
        if (owns_) {
            delete element;
        }
    }

    void RemoveAll() {
        while (!items_.empty()) {
            T* element = items_.back();
            items_.pop_back();
            if (owns_) {
                delete element;
            }
        }
    }

    int Count() const { return int(items_.size()); }
    // Null for an index outside the list.
    T* Get(int index) const {
        return index >= 0 && index < Count() ? items_[size_t(index)] : nullptr;
    }

private:
    bool owns_;
    size_t step_;
    std::vector<T*> items_;
};
