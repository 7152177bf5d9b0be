#include "filelist/PathMatchSpec.h"

#include <QStringTokenizer>

namespace filelist {

namespace {

bool sameLetter(QChar a, QChar b) {
    return a == b || a.toCaseFolded() == b.toCaseFolded();
}

} // namespace

bool WildcardMatch(QStringView text, QStringView spec) {
    if (spec == u"*.*")
        return true;
    // Greedy match with backtracking to the last star only: each star can
    // restart at most once per text position, so the cost stays
    // O(text x spec) even for specs full of stars.
    qsizetype t = 0, s = 0;
    qsizetype starSpec = -1, starText = 0;
    while (t < text.size()) {
        if (s < spec.size() && spec[s] == u'*') {
            starSpec = s++;
            starText = t;
        } else if (s < spec.size() && (spec[s] == u'?' || sameLetter(spec[s], text[t]))) {
            ++s;
            ++t;
        } else if (starSpec >= 0) {
            s = starSpec + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (s < spec.size() && spec[s] == u'*')
        ++s;
    return s == spec.size();
}

bool PathMatchSpec(QStringView path, QStringView specs) {
    for (QStringView spec : specs.tokenize(u';')) {
        spec = spec.trimmed();
        if (!spec.isEmpty() && WildcardMatch(path, spec))
            return true;
    }
    return false;
}

} // namespace filelist
