#pragma once
// A small insertion-ordered dictionary with exact key comparison. It carries
// statement parameters, transaction batches and condition sets.

#include <stdexcept>
#include <utility>
#include <vector>

template <typename K, typename V> class OrderedMap {
public:
    using Item = std::pair<K, V>;

    // Adds an entry; a key that is already present is an error.
    void AddItem(const K& key, V value) {
        if (contains(key)) throw std::logic_error("duplicate key in ordered dictionary");
        m_items.emplace_back(key, std::move(value));
    }
    // Adds or replaces, keeping the position of an existing key.
    void set(const K& key, V value) {
        for (auto& it : m_items)
            if (it.first == key) {
                it.second = std::move(value);
                return;
            }
        m_items.emplace_back(key, std::move(value));
    }
    bool contains(const K& key) const { return find(key) != nullptr; }
    const V* find(const K& key) const {
        for (const auto& it : m_items)
            if (it.first == key) return &it.second;
        return nullptr;
    }
    void Clear() { m_items.clear(); }
    const std::vector<Item>& Items() const { return m_items; }
    std::size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<Item> m_items;
};
