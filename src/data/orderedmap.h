#pragma once
// A small insertion-ordered dictionary with exact key comparison. It carries
// statement parameters, transaction batches and condition sets; a hash of the
// keys keeps large ones (the lines of a big bill) quick to fill.

#include <QHash>
#include <stdexcept>
#include <utility>
#include <vector>

template <typename K, typename V> class OrderedMap {
public:
    using Item = std::pair<K, V>;

    // Adds an entry; a key that is already present is an error.
    void AddItem(const K& key, V value) {
        if (contains(key)) throw std::logic_error("duplicate key in ordered dictionary");
        m_index.insert(key, m_items.size());
        m_items.emplace_back(key, std::move(value));
    }
    // Adds or replaces, keeping the position of an existing key.
    void set(const K& key, V value) {
        const auto it = m_index.constFind(key);
        if (it != m_index.constEnd()) {
            m_items[*it].second = std::move(value);
            return;
        }
        AddItem(key, std::move(value));
    }
    bool contains(const K& key) const { return m_index.contains(key); }
    const V* find(const K& key) const {
        const auto it = m_index.constFind(key);
        return it == m_index.constEnd() ? nullptr : &m_items[*it].second;
    }
    void Clear() {
        m_items.clear();
        m_index.clear();
    }
    const std::vector<Item>& Items() const { return m_items; }
    std::size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<Item> m_items;
    QHash<K, std::size_t> m_index;
};
