// Many searches in one text, answered together in time linear in the text
// and the searched words (times a logarithm), however many words there are
// and however they overlap.
#pragma once

#include <QHash>
#include <QString>

#include <vector>

class FirstFound
{
public:
    // Asks for the first place at or after from where word stands in the
    // text, as QString::indexOf(word, from) gives it. Returns the search's
    // number.
    int add(const QString &word, int from);
    // Answers every search asked so far in text; at(n) then gives each.
    void run(const QString &text);
    // The answer of search n: the place found, or -1.
    int at(int n) const { return m_found[size_t(n)]; }

private:
    struct Search
    {
        int word; // into m_words
        int from;
    };
    QHash<QString, int> m_known; // word -> its place in m_words
    std::vector<QString> m_words;
    std::vector<Search> m_searches;
    std::vector<int> m_found;
};
