#include "supervision/pure/firstfound.h"

#include <QHash>

#include <algorithm>

int FirstFound::add(const QString &word, int from)
{
    const auto known = m_known.constFind(word);
    int w = int(m_words.size());
    if (known != m_known.constEnd()) {
        w = known.value();
    } else {
        m_known.insert(word, w);
        m_words.push_back(word);
    }
    m_searches.push_back({w, qMax(0, from)});
    return int(m_searches.size()) - 1;
}

namespace {

// The children of the words' tree: (node, character) -> node, open addressing.
class Children
{
public:
    explicit Children(size_t expected)
    {
        size_t cap = 16;
        while (cap < 2 * expected)
            cap <<= 1;
        m_keys.assign(cap, kFree);
        m_values.resize(cap);
    }

    int find(int node, ushort c) const
    {
        const quint64 key = (quint64(uint(node)) << 16) | c;
        for (size_t i = slot(key);; i = (i + 1) & (m_keys.size() - 1)) {
            if (m_keys[i] == key)
                return m_values[i];
            if (m_keys[i] == kFree)
                return -1;
        }
    }

    void add(int node, ushort c, int child)
    {
        const quint64 key = (quint64(uint(node)) << 16) | c;
        size_t i = slot(key);
        while (m_keys[i] != kFree)
            i = (i + 1) & (m_keys.size() - 1);
        m_keys[i] = key;
        m_values[i] = child;
    }

private:
    static constexpr quint64 kFree = ~quint64(0);
    size_t slot(quint64 key) const
    {
        return size_t((key * 0x9E3779B97F4A7C15ull) >> 20) & (m_keys.size() - 1);
    }

    std::vector<quint64> m_keys;
    std::vector<int> m_values;
};

} // namespace

// The words go into one tree with the links of a multi-word search
// (Aho-Corasick): after each character of the text the search stands at the
// longest end of the text read that begins a word, and a word ends there
// exactly when its node is that state or one the state falls back to, that is
// when the state lies in the word's subtree of the fall-back tree. Numbered in
// the order of a walk, each such subtree is a range; a search waits from the
// character where its word could end first, on the ranges of a segment tree,
// and the first state that falls in its range answers it.
void FirstFound::run(const QString &text)
{
    const int n = text.size();
    const ushort *s = text.utf16();
    m_found.assign(m_searches.size(), -1);

    std::vector<char> wanted(m_words.size(), 0);
    size_t letters = 0;
    int open = 0;
    for (size_t q = 0; q < m_searches.size(); ++q) {
        const Search &sr = m_searches[q];
        const QString &word = m_words[size_t(sr.word)];
        if (word.isEmpty()) {
            m_found[q] = sr.from <= n ? sr.from : -1;
        } else if (qint64(sr.from) + word.size() <= n) {
            if (!wanted[size_t(sr.word)])
                letters += size_t(word.size());
            wanted[size_t(sr.word)] = 1;
            ++open;
        }
    }
    if (open == 0)
        return;

    // The tree of the words: node 0 is the root.
    std::vector<int> parent(1, -1), depth(1, 0);
    std::vector<ushort> via(1, 0);
    parent.reserve(letters + 1);
    depth.reserve(letters + 1);
    via.reserve(letters + 1);
    Children children(letters + 1);
    std::vector<int> nodeOf(m_words.size(), -1);
    for (size_t w = 0; w < m_words.size(); ++w) {
        if (!wanted[w])
            continue;
        int node = 0;
        for (const QChar ch : m_words[w]) {
            int next = children.find(node, ch.unicode());
            if (next < 0) {
                next = int(parent.size());
                children.add(node, ch.unicode(), next);
                parent.push_back(node);
                depth.push_back(depth[size_t(node)] + 1);
                via.push_back(ch.unicode());
            }
            node = next;
        }
        nodeOf[w] = node;
    }
    const int nodes = int(parent.size());

    // Fall-back links, shallow nodes first.
    std::vector<int> order(static_cast<size_t>(nodes));
    {
        std::vector<int> atDepth(letters + 2, 0);
        for (int v = 0; v < nodes; ++v)
            ++atDepth[size_t(depth[size_t(v)]) + 1];
        for (size_t d = 1; d < atDepth.size(); ++d)
            atDepth[d] += atDepth[d - 1];
        for (int v = 0; v < nodes; ++v)
            order[size_t(atDepth[size_t(depth[size_t(v)])]++)] = v;
    }
    std::vector<int> fail(static_cast<size_t>(nodes), 0);
    for (const int v : order) {
        const int p = parent[size_t(v)];
        if (p <= 0)
            continue;
        int f = fail[size_t(p)];
        int to = children.find(f, via[size_t(v)]);
        while (to < 0 && f != 0) {
            f = fail[size_t(f)];
            to = children.find(f, via[size_t(v)]);
        }
        fail[size_t(v)] = to >= 0 ? to : 0;
    }
    std::vector<int>().swap(parent);
    std::vector<ushort>().swap(via);

    // Walk order of the fall-back tree: node v's subtree is [first, last].
    std::vector<int> first(static_cast<size_t>(nodes)), last(static_cast<size_t>(nodes));
    {
        std::vector<int> child(static_cast<size_t>(nodes), -1), sibling(static_cast<size_t>(nodes), -1);
        for (int v = nodes - 1; v > 0; --v) {
            sibling[size_t(v)] = child[size_t(fail[size_t(v)])];
            child[size_t(fail[size_t(v)])] = v;
        }
        int number = 0;
        std::vector<int> stack{0};
        first[0] = number++;
        while (!stack.empty()) {
            const int v = stack.back();
            const int c = child[size_t(v)];
            if (c < 0) {
                last[size_t(v)] = number - 1;
                stack.pop_back();
                continue;
            }
            child[size_t(v)] = sibling[size_t(c)];
            first[size_t(c)] = number++;
            stack.push_back(c);
        }
    }

    // Searches by the character from which their word may end there.
    std::vector<int> waiting;
    waiting.reserve(size_t(open));
    for (size_t q = 0; q < m_searches.size(); ++q) {
        const Search &sr = m_searches[q];
        if (m_found[q] < 0 && wanted[size_t(sr.word)]
            && qint64(sr.from) + m_words[size_t(sr.word)].size() <= n)
            waiting.push_back(int(q));
    }
    const auto endOf = [&](int q) {
        return m_searches[size_t(q)].from + m_words[size_t(m_searches[size_t(q)].word)].size() - 1;
    };
    std::stable_sort(waiting.begin(), waiting.end(),
                     [&](int a, int b) { return endOf(a) < endOf(b); });

    // Segment tree over the walk order: each node lists the searches whose
    // range covers it whole, and counts those listed below it.
    int leaves = 1;
    while (leaves < nodes)
        leaves <<= 1;
    std::vector<int> head(static_cast<size_t>(2 * leaves), -1), count(static_cast<size_t>(2 * leaves), 0);
    struct Entry
    {
        int search;
        int next;
    };
    std::vector<Entry> entries;
    const auto list = [&](int x, int q) {
        entries.push_back({q, head[size_t(x)]});
        head[size_t(x)] = int(entries.size()) - 1;
        for (; x >= 1; x >>= 1)
            ++count[size_t(x)];
    };

    size_t next = 0;
    int state = 0;
    int path[32];
    for (int e = 0; e < n && open > 0; ++e) {
        const ushort c = s[e];
        int to = children.find(state, c);
        while (to < 0 && state != 0) {
            state = fail[size_t(state)];
            to = children.find(state, c);
        }
        state = to >= 0 ? to : 0;
        for (; next < waiting.size() && endOf(waiting[next]) <= e; ++next) {
            const int q = waiting[next];
            const int v = nodeOf[size_t(m_searches[size_t(q)].word)];
            int l = first[size_t(v)] + leaves;
            int r = last[size_t(v)] + leaves + 1;
            for (; l < r; l >>= 1, r >>= 1) {
                if (l & 1)
                    list(l++, q);
                if (r & 1)
                    list(--r, q);
            }
        }
        if (count[1] == 0)
            continue;
        // From the root down to the leaf of the state, taking every list.
        const int at = first[size_t(state)];
        int depthNow = 0;
        int x = 1;
        int span = leaves;
        int low = 0;
        while (true) {
            if (count[size_t(x)] == 0)
                break;
            path[depthNow++] = x;
            int taken = 0;
            for (int k = head[size_t(x)]; k >= 0; k = entries[size_t(k)].next) {
                const int q = entries[size_t(k)].search;
                ++taken;
                if (m_found[size_t(q)] >= 0)
                    continue;
                m_found[size_t(q)] = e - m_words[size_t(m_searches[size_t(q)].word)].size() + 1;
                --open;
            }
            head[size_t(x)] = -1;
            for (int i = 0; i < depthNow; ++i)
                count[size_t(path[i])] -= taken;
            if (span == 1)
                break;
            span >>= 1;
            if (at < low + span) {
                x = 2 * x;
            } else {
                x = 2 * x + 1;
                low += span;
            }
        }
    }
}
