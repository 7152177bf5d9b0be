#pragma once

#include <QStringView>

namespace filelist {

/// Matches `text` against one wildcard spec: `*` stands for any run of
/// characters (also none, also across folder separators), `?` for exactly one
/// character; letters match regardless of case. The pattern "*.*" matches every
/// text, also one without a dot. The whole text must match.
bool WildcardMatch(QStringView text, QStringView spec);

/// True when `path` matches at least one of the ";"-separated specs in
/// `specs`. Spaces around a spec are ignored and empty specs match nothing.
/// Since the whole path is matched, a spec that does not begin with "*"
/// matches only a path that equals it.
bool PathMatchSpec(QStringView path, QStringView specs);

} // namespace filelist
