#include "core/pure/reply.h"

#include <cstdlib>
#include <utility>
#include <vector>

const QString kAlfa = QStringLiteral("0123456789azertyuiopqsdfghjklmwxcvbn@._-");

namespace {

// The payload's place in a reply text: from, length; length -1 when unframed.
std::pair<int, int> framedPayload(const QString &text)
{
    static const QString open = QStringLiteral("debut|");
    static const QString close = QStringLiteral("|fin");
    const int start = text.indexOf(open);
    if (start < 0)
        return {0, -1};
    const int from = start + open.size();
    const int end = text.lastIndexOf(close);
    if (end < from)
        return {0, -1};
    return {from, end - from};
}

// Per UTF-16 unit: whether it may stand in a removable run (its lower case is
// in kAlfa), and its case-folded value when a case-insensitive search could
// take it for a character of such a run (0 otherwise). Surrogates are
// neither: a case-insensitive search folds a pair as one character.
struct CharTables
{
    std::vector<bool> passes;
    std::vector<ushort> fold;

    CharTables() : passes(0x10000, false), fold(0x10000, 0)
    {
        std::vector<bool> ascii(128, false);
        for (const QChar c : kAlfa)
            ascii[c.unicode()] = true;
        std::vector<bool> folded(0x10000, false);
        for (uint u = 0; u < 0x10000; ++u) {
            if (QChar::isSurrogate(u))
                continue;
            const uint lower = QChar::toLower(u);
            if (lower < 128 && ascii[lower]) {
                passes[u] = true;
                folded[QChar::toCaseFolded(u)] = true;
            }
        }
        for (uint u = 0; u < 0x10000; ++u) {
            const uint f = QChar::toCaseFolded(u);
            if (!QChar::isSurrogate(u) && f < 0x10000 && folded[f])
                fold[u] = ushort(f);
        }
    }
};

const CharTables &charTables()
{
    static const CharTables tables;
    return tables;
}

// Polynomial hashes modulo 2^61 - 1 of the folded characters of a line.
constexpr quint64 kMod = (quint64(1) << 61) - 1;
constexpr quint64 kBase = 1000003;

quint64 mulMod(quint64 a, quint64 b)
{
    const unsigned __int128 p = static_cast<unsigned __int128>(a) * b;
    const quint64 r = quint64(p & kMod) + quint64(p >> 61);
    return r >= kMod ? r - kMod : r;
}

quint64 addMod(quint64 a, quint64 b)
{
    const quint64 r = a + b;
    return r >= kMod ? r - kMod : r;
}

quint64 powMod(quint64 b, quint64 e)
{
    quint64 r = 1;
    for (; e; e >>= 1, b = mulMod(b, b)) {
        if (e & 1)
            r = mulMod(r, b);
    }
    return r;
}

// The cleaning done in one pass over the text.
//
// The text is kept as its lines (the parts between CRLFs) in a linked list;
// a line is a range of the original text whose removed characters are
// marked dead. Removing a segment everywhere removes the lines that read as
// its run, case-insensitively, between two CRLFs; such lines are found
// through lists of the lines by hash, so a removal costs what it removes. Two
// lines that meet where a segment went become one, or two with a new CRLF
// between them where a "\r" meets a "\n". The scan follows the text by
// position: after a removal it resumes one character past the position the
// removed segment had, counted in the shortened text.
class RunCleaner
{
public:
    explicit RunCleaner(const QString &text)
        : m_text(text), m_s(text.utf16()), m_n(text.size()), m_tables(charTables())
    {
    }

    QString run();

private:
    // A line runs from start, where the original text has it, to the CRLF
    // before the next line (see endOf); its alive characters there are the
    // line's characters.
    struct Line
    {
        int start;
        int prev;
        int next;
        int len;
        int bad;   // characters that no run can match
        int link;  // alive: -1 - mark; dead: the line that took its place
        int hnext; // list of the candidate lines of the same bucket
        int hprev;
        quint64 hash;
    };
    // The mark of an alive line: 2 * stamp: seen in removal stamp;
    // 2 * stamp + 1: matched.
    static int markOf(const Line &l) { return -1 - l.link; }
    static void setMark(Line &l, int mark) { l.link = -1 - mark; }

    static bool alive(const Line &l) { return l.link < 0; }
    static bool candidate(const Line &l) { return l.link < 0 && l.len > 0 && l.bad == 0; }
    // Where the CRLF after line id starts ("\r"), or the end of the text.
    int endOf(int id)
    {
        const int next = m_lines[size_t(id)].next;
        return next < 0 ? m_n : prevAlive(m_lines[size_t(next)].start - 2);
    }
    int find(int x);
    int nextAlive(int x);
    int prevAlive(int x);
    void kill(int x);
    int firstChar(const Line &l) { return l.len ? nextAlive(l.start) : -1; }
    void addLine(int start, int end);
    size_t bucket(quint64 hash) const
    {
        return size_t((hash * 0x9E3779B97F4A7C15ull) >> 24) & (m_heads.size() - 1);
    }
    void indexLine(int id);
    void unindexLine(int id);
    bool linePasses(int id);
    bool sameRun(const Line &a, const Line &b);
    int removeEverywhere(int cur, int before);
    void join(int a, int b);
    int live(int id);

    const QString &m_text;
    const ushort *m_s;
    const int m_n;
    const CharTables &m_tables;
    // The removed characters, as runs of neighbours: 0 for an alive
    // character; a run's first character holds -1 - its last one, the others
    // 1 + a character nearer the first. The array starts as zeroed memory
    // from the system, which takes no room until a removal writes into it.
    struct Runs
    {
        int *d = nullptr;
        ~Runs() { std::free(d); }
        int &operator[](int x) { return d[x]; }
    };
    Runs m_dead;
    std::vector<Line> m_lines;
    std::vector<int> m_heads; // first candidate line of each bucket, -1: none
    std::vector<int> m_matched, m_removed; // of one removal
    quint64 m_invBase = 1;
    int m_stamp = 0;
};

// The first character of the removed run that holds x.
int RunCleaner::find(int x)
{
    int root = x;
    while (m_dead[root] > 0)
        root = m_dead[root] - 1;
    while (x != root) {
        const int up = m_dead[x] - 1;
        m_dead[x] = root + 1;
        x = up;
    }
    return root;
}

int RunCleaner::nextAlive(int x)
{
    if (m_dead[x] == 0)
        return x;
    return -m_dead[find(x)];
}

int RunCleaner::prevAlive(int x)
{
    if (x < 0 || m_dead[x] == 0)
        return x;
    return find(x) - 1;
}

void RunCleaner::kill(int x)
{
    int first = x;
    int last = x;
    if (x > 0 && m_dead[x - 1] != 0) {
        first = find(x - 1);
        m_dead[x] = first + 1;
    }
    if (x + 1 < m_n && m_dead[x + 1] != 0) {
        // x + 1 starts its run.
        last = -1 - m_dead[x + 1];
        m_dead[x + 1] = first + 1;
    }
    m_dead[first] = -1 - last;
}

void RunCleaner::addLine(int start, int end)
{
    Line l{start, int(m_lines.size()) - 1, -1, end - start, 0, -1, -1, -1, 0};
    for (int k = start; k < end; ++k) {
        const ushort f = m_tables.fold[m_s[k]];
        l.bad += !f;
        l.hash = addMod(mulMod(l.hash, kBase), f);
    }
    if (l.prev >= 0)
        m_lines[l.prev].next = int(m_lines.size());
    m_lines.push_back(l);
    indexLine(int(m_lines.size()) - 1);
}

void RunCleaner::indexLine(int id)
{
    Line &l = m_lines[id];
    if (!candidate(l))
        return;
    int &head = m_heads[bucket(l.hash)];
    l.hprev = -1;
    l.hnext = head;
    if (head >= 0)
        m_lines[head].hprev = id;
    head = id;
}

// Takes the line out of its list before it changes; indexLine puts it back.
void RunCleaner::unindexLine(int id)
{
    Line &l = m_lines[id];
    if (!candidate(l))
        return;
    if (l.hprev >= 0)
        m_lines[l.hprev].hnext = l.hnext;
    else
        m_heads[bucket(l.hash)] = l.hnext;
    if (l.hnext >= 0)
        m_lines[l.hnext].hprev = l.hprev;
    l.hnext = l.hprev = -1;
}

bool RunCleaner::linePasses(int id)
{
    const Line &l = m_lines[id];
    if (l.len == 0)
        return false;
    const int end = endOf(id);
    for (int x = nextAlive(l.start); x < end; x = nextAlive(x + 1)) {
        if (!m_tables.passes[m_s[x]])
            return false;
    }
    return true;
}

bool RunCleaner::sameRun(const Line &a, const Line &b)
{
    if (a.len != b.len)
        return false;
    int x = nextAlive(a.start);
    int y = nextAlive(b.start);
    for (int k = 0; k < a.len; ++k) {
        if (m_tables.fold[m_s[x]] != m_tables.fold[m_s[y]])
            return false;
        x = nextAlive(x + 1);
        y = nextAlive(y + 1);
    }
    return true;
}

int RunCleaner::live(int id)
{
    int root = id;
    while (!alive(m_lines[root]))
        root = m_lines[root].link;
    while (id != root) {
        const int up = m_lines[id].link;
        m_lines[id].link = root;
        id = up;
    }
    return root;
}

// Lines a and b now meet: one line, or two when a "\r" meets a "\n".
void RunCleaner::join(int ia, int ib)
{
    Line &a = m_lines[ia];
    Line &b = m_lines[ib];
    // All between a's characters and b's is removed.
    const int r = a.len ? prevAlive(b.start - 1) : -1;
    const int f = firstChar(b);
    unindexLine(ia);
    unindexLine(ib);
    if (r >= 0 && f >= 0 && m_s[r] == '\r' && m_s[f] == '\n') {
        // Neither character has a folded value: only a's hash shifts.
        --a.len;
        --a.bad;
        a.hash = mulMod(a.hash, m_invBase);
        b.start = f + 1;
        --b.len;
        --b.bad;
        indexLine(ia);
        indexLine(ib);
        return;
    }
    a.len += b.len;
    a.bad += b.bad;
    a.hash = addMod(mulMod(a.hash, powMod(kBase, quint64(b.len))), b.hash);
    a.next = b.next;
    if (b.next >= 0)
        m_lines[b.next].prev = ia;
    b.link = ia;
    indexLine(ia);
}

// Removes every occurrence of the segment (CRLF, line cur, CRLF) from the
// text as one left-to-right search without overlap finds them. Returns how
// many removed characters stood before the original position before.
int RunCleaner::removeEverywhere(int cur, int before)
{
    ++m_stamp;
    const int seen = 2 * m_stamp;
    const quint64 hash = m_lines[cur].hash;
    m_matched.clear();
    m_removed.clear();
    for (int id = m_heads[bucket(hash)]; id >= 0; id = m_lines[id].hnext) {
        Line &l = m_lines[id];
        if (l.hash != hash)
            continue;
        if (l.prev >= 0 && l.next >= 0 && sameRun(l, m_lines[cur])) {
            setMark(l, seen + 1);
            m_matched.push_back(id);
        } else {
            setMark(l, seen);
        }
    }

    // In a row of matching lines only every second one is found: the one
    // before took the CRLF that opens it.
    for (const int head : m_matched) {
        if (markOf(m_lines[m_lines[head].prev]) == seen + 1)
            continue;
        bool take = true;
        for (int id = head; id >= 0 && markOf(m_lines[id]) == seen + 1; id = m_lines[id].next) {
            if (take)
                m_removed.push_back(id);
            take = !take;
        }
    }

    int count = 0;
    for (const int id : m_removed) {
        Line &l = m_lines[id];
        const int a = l.prev;
        const int b = l.next;
        const int stop = m_lines[b].start;
        for (int x = nextAlive(endOf(a)); x < stop; x = nextAlive(x + 1)) {
            count += x < before;
            kill(x);
        }
        unindexLine(id);
        l.link = a;
        m_lines[a].next = b;
        m_lines[b].prev = a;
        join(a, b);
    }
    return count;
}

QString RunCleaner::run()
{
    // Only a segment that passes changes the text; count the lines meanwhile.
    int breaks = 0;
    int last = -1;
    bool any = false;
    for (int k = 0; k + 1 < m_n; ++k) {
        if (m_s[k] != '\r' || m_s[k + 1] != '\n')
            continue;
        if (!any && last >= 0 && last + 2 < k) {
            any = true;
            for (int c = last + 2; c < k && any; ++c)
                any = m_tables.passes[m_s[c]];
        }
        ++breaks;
        last = k++;
    }
    if (!any)
        return m_text;

    m_dead.d = static_cast<int *>(std::calloc(size_t(m_n) + 1, sizeof(int)));
    if (!m_dead.d)
        return m_text;
    m_invBase = powMod(kBase, kMod - 2);
    size_t buckets = 16;
    while (buckets < size_t(breaks) + 1)
        buckets <<= 1;
    m_heads.assign(buckets, -1);
    m_lines.reserve(size_t(breaks) + 1);
    int from = 0;
    for (int k = 0; k + 1 < m_n; ++k) {
        if (m_s[k] == '\r' && m_s[k + 1] == '\n') {
            addLine(from, k);
            from = k + 2;
            ++k;
        }
    }
    addLine(from, m_n);

    // Segment by segment: cur is the line after the opening CRLF.
    int cur = 1;
    while (m_lines[cur].next >= 0) {
        if (!linePasses(cur)) {
            cur = m_lines[cur].next;
            continue;
        }
        const int opener = m_lines[cur].prev;
        const int o = nextAlive(endOf(opener));
        const int gone = removeEverywhere(cur, o);
        // t: one past the position o had, in the shortened text.
        int t = nextAlive(o);
        for (int k = 0; k <= gone && t < m_n; ++k)
            t = nextAlive(t + 1);
        if (t >= m_n)
            break;
        int x = live(opener);
        while (m_lines[x].next >= 0 && m_lines[m_lines[x].next].start <= t)
            x = m_lines[x].next;
        // t is in line x or in the CRLF after it; the next opening CRLF is
        // the one after x unless t is that CRLF's "\n".
        const int end = endOf(x);
        if (t >= end && t != nextAlive(end))
            x = m_lines[x].next;
        if (x < 0 || m_lines[x].next < 0)
            break;
        cur = m_lines[x].next;
    }

    QString out(m_n, Qt::Uninitialized);
    QChar *dst = out.data();
    int size = 0;
    for (int x = nextAlive(0); x < m_n; x = nextAlive(x + 1))
        dst[size++] = QChar(m_s[x]);
    out.truncate(size);
    return out;
}

} // namespace

QString TestStr(const QString &text)
{
    const auto frame = framedPayload(text);
    if (frame.second < 0)
        return QString();
    return TestImtDisplay(text.mid(frame.first, frame.second));
}

bool replyHasFrame(const QString &text)
{
    return framedPayload(text).second >= 0;
}

QString TestImtDisplay(const QString &text)
{
    return RunCleaner(text).run();
}

bool replyIs(const QString &payload, const QString &word)
{
    return payload.compare(word, Qt::CaseInsensitive) == 0;
}

bool replyTrimmedIs(const QString &payload, const QString &word)
{
    return payload.trimmed().compare(word, Qt::CaseInsensitive) == 0;
}

bool replyStartsWith(const QString &payload, const QString &word)
{
    return payload.startsWith(word, Qt::CaseInsensitive);
}
