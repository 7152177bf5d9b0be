#pragma once

#include <QStringView>

namespace filelist {

/// Compares two names in natural order: letters regardless of case, runs of
/// ASCII digits by their numeric value (so "img2" comes before "img10", of any
/// length, without overflow). Names that tie that way are ordered by their
/// exact characters, so the order is total and repeatable.
/// Returns < 0, 0 or > 0 like strcmp.
int NaturalCompare(QStringView a, QStringView b);

/// Strict weak order for sorting: NaturalCompare(a, b) < 0.
inline bool NaturalLess(QStringView a, QStringView b) {
    return NaturalCompare(a, b) < 0;
}

} // namespace filelist
