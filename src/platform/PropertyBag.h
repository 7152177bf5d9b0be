#pragma once

// The property store that controls persist their properties in: a value equal to
// its default is never stored, and a missing key reads as the default, so a
// control's saved state holds only what differs from a new control.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

namespace platform {

class PropertyBag {
public:
    /// The stored value, or `defaultValue` when `name` is not stored.
    QVariant ReadProperty(const QString& name, const QVariant& defaultValue = {}) const;

    /// Stores `value` under `name`; when `value` equals `defaultValue` (numbers of
    /// different types compare by value), nothing is stored and an existing key
    /// is removed.
    void WriteProperty(const QString& name, const QVariant& value,
                       const QVariant& defaultValue = {});

    /// True when `name` holds a stored (non-default) value.
    bool Contains(const QString& name) const { return values_.contains(name); }

    /// Stored names, sorted.
    QStringList Keys() const { return values_.keys(); }

    /// Number of stored values.
    int Count() const { return static_cast<int>(values_.size()); }

    /// Removes every stored value.
    void Clear() { values_.clear(); }

    bool operator==(const PropertyBag& other) const { return values_ == other.values_; }

private:
    QVariantMap values_;
};

} // namespace platform
