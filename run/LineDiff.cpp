#include "run/LineDiff.h"

#include <algorithm>
#include <vector>

namespace {

// The shortest-edit search costs time and memory with the square of the number of changed
// lines; beyond this many the changed block is shown whole.
constexpr int kMaxEditDistance = 2000;

enum class Op : char { Same = ' ', Removed = '-', Added = '+' };
struct Edit {
    Op op;
    qsizetype before; // line index in `before` (Same, Removed)
    qsizetype after;  // line index in `after` (Same, Added)
};

// Myers' greedy shortest edit script between a[a0, a1) and b[b0, b1); empty when the distance
// exceeds the bound.
std::vector<Edit> shortestEdit(const QStringList &a, qsizetype a0, qsizetype a1,
                               const QStringList &b, qsizetype b0, qsizetype b1)
{
    const int n = int(a1 - a0), m = int(b1 - b0);
    const int maxD = std::min(n + m, kMaxEditDistance);
    const int offset = maxD + 1;
    std::vector<int> v(std::size_t(2 * maxD + 3), 0);
    std::vector<std::vector<int>> trace;
    for (int d = 0; d <= maxD; ++d) {
        trace.push_back(v);
        for (int k = -d; k <= d; k += 2) {
            int x = (k == -d || (k != d && v[k - 1 + offset] < v[k + 1 + offset]))
                        ? v[k + 1 + offset]
                        : v[k - 1 + offset] + 1;
            int y = x - k;
            while (x < n && y < m && a[a0 + x] == b[b0 + y]) {
                ++x;
                ++y;
            }
            v[k + offset] = x;
            if (x >= n && y >= m) {
                std::vector<Edit> edits;
                for (int back = d; back > 0; --back) {
                    const std::vector<int> &pv = trace[std::size_t(back)];
                    const int bk = x - y;
                    const bool down =
                        bk == -back || (bk != back && pv[bk - 1 + offset] < pv[bk + 1 + offset]);
                    const int pk = down ? bk + 1 : bk - 1;
                    const int px = pv[pk + offset], py = px - pk;
                    while (x > px && y > py) {
                        --x;
                        --y;
                        edits.push_back({Op::Same, a0 + x, b0 + y});
                    }
                    if (down)
                        edits.push_back({Op::Added, a0 + x, b0 + --y});
                    else
                        edits.push_back({Op::Removed, a0 + --x, b0 + y});
                }
                while (x > 0 && y > 0) {
                    --x;
                    --y;
                    edits.push_back({Op::Same, a0 + x, b0 + y});
                }
                std::reverse(edits.begin(), edits.end());
                return edits;
            }
        }
    }
    return {};
}

std::vector<Edit> editScript(const QStringList &a, const QStringList &b)
{
    qsizetype start = 0;
    while (start < a.size() && start < b.size() && a[start] == b[start])
        ++start;
    qsizetype endA = a.size(), endB = b.size();
    while (endA > start && endB > start && a[endA - 1] == b[endB - 1]) {
        --endA;
        --endB;
    }
    std::vector<Edit> edits;
    for (qsizetype i = 0; i < start; ++i)
        edits.push_back({Op::Same, i, i});
    std::vector<Edit> middle = shortestEdit(a, start, endA, b, start, endB);
    if (middle.empty() && (endA > start || endB > start)) {
        for (qsizetype i = start; i < endA; ++i)
            middle.push_back({Op::Removed, i, start});
        for (qsizetype j = start; j < endB; ++j)
            middle.push_back({Op::Added, endA, j});
    }
    edits.insert(edits.end(), middle.begin(), middle.end());
    for (qsizetype i = endA, j = endB; i < a.size(); ++i, ++j)
        edits.push_back({Op::Same, i, j});
    return edits;
}

QString range(qsizetype first, qsizetype count)
{
    // an empty side names the line before it, as diff does
    return QStringLiteral("%1,%2").arg(count == 0 ? first : first + 1).arg(count);
}

} // namespace

QStringList unifiedDiff(const QStringList &before, const QStringList &after, int context)
{
    if (before == after)
        return {};
    const std::vector<Edit> edits = editScript(before, after);
    QStringList out;
    const qsizetype total = qsizetype(edits.size());
    qsizetype i = 0;
    while (i < total) {
        while (i < total && edits[std::size_t(i)].op == Op::Same)
            ++i;
        if (i == total)
            break;
        // A hunk: from `context` lines before this change to `context` lines after the last
        // change that lies within 2 * context same lines of the one before it.
        qsizetype first = std::max<qsizetype>(0, i - context);
        qsizetype last = i;
        for (qsizetype j = i, same = 0; j < total && same <= 2 * context; ++j) {
            if (edits[std::size_t(j)].op == Op::Same) {
                ++same;
            } else {
                same = 0;
                last = j;
            }
        }
        const qsizetype end = std::min(total, last + context + 1);
        qsizetype countA = 0, countB = 0;
        for (qsizetype j = first; j < end; ++j) {
            countA += edits[std::size_t(j)].op != Op::Added;
            countB += edits[std::size_t(j)].op != Op::Removed;
        }
        const Edit &head = edits[std::size_t(first)];
        out << QStringLiteral("@@ -%1 +%2 @@")
                   .arg(range(head.before, countA), range(head.after, countB));
        for (qsizetype j = first; j < end; ++j) {
            const Edit &e = edits[std::size_t(j)];
            const QString &text = e.op == Op::Added ? after[e.after] : before[e.before];
            out << QChar(char(e.op)) + text;
        }
        i = end;
    }
    return out;
}
