#include "platform/PropertyBag.h"

namespace platform {

QVariant PropertyBag::ReadProperty(const QString& name, const QVariant& defaultValue) const {
    const auto it = values_.constFind(name);
    return it == values_.constEnd() ? defaultValue : it.value();
}

void PropertyBag::WriteProperty(const QString& name, const QVariant& value,
                                const QVariant& defaultValue) {
    if (value == defaultValue) {
        values_.remove(name);
    } else {
        values_.insert(name, value);
    }
}

} // namespace platform
