#include "platform/Registry.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace platform {
namespace {

const Registry* g_installed = nullptr;

QString KeyId(std::uint32_t root, const QString& path) {
    // Windows ignores case and stray separators at either end of a key path.
    QString trimmed = path;
    while (trimmed.startsWith(u'\\'))
        trimmed.remove(0, 1);
    while (trimmed.endsWith(u'\\'))
        trimmed.chop(1);
    return QString::number(root, 16) + u'\\' + trimmed.toLower();
}

class TableKey : public RegistryKey {
public:
    explicit TableKey(std::map<QString, RegistryValue> values) : values_(std::move(values)) {}
    std::optional<RegistryValue> QueryValue(const QString& name) const override {
        const auto it = values_.find(name.toLower());
        if (it == values_.end())
            return std::nullopt;
        return it->second;
    }

private:
    std::map<QString, RegistryValue> values_;
};

// The system-information programs of the common Linux desktops, best first.
const char* const kSysInfoPrograms[] = {
    "gnome-system-monitor", "kinfocenter",       "hardinfo2", "hardinfo",
    "mate-system-monitor",  "xfce4-taskmanager", "msinfo32"};

const QString kMsInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

} // namespace

void TableRegistry::AddKey(std::uint32_t root, const QString& path) {
    keys_[KeyId(root, path)];
}

void TableRegistry::SetValue(std::uint32_t root, const QString& path, const QString& name,
                             RegistryValue value) {
    keys_[KeyId(root, path)][name.toLower()] = std::move(value);
}

std::unique_ptr<RegistryKey> TableRegistry::OpenKey(std::uint32_t root, const QString& path) const {
    const auto it = keys_.find(KeyId(root, path));
    if (it == keys_.end())
        return nullptr;
    return std::make_unique<TableKey>(it->second);
}

std::unique_ptr<TableRegistry>
BuiltInRegistry(const std::function<QString(const QString&)>& findProgram) {
    auto table = std::make_unique<TableRegistry>();
    table->AddKey(HKEY_LOCAL_MACHINE, kMsInfoKey);
    table->AddKey(HKEY_LOCAL_MACHINE, kLocationKey);
    for (const char* name : kSysInfoPrograms) {
        const QString found = findProgram(QString::fromLatin1(name));
        if (found.isEmpty())
            continue;
        // Stored as the real registry stores text: local 8-bit bytes with their NUL.
        table->SetValue(HKEY_LOCAL_MACHINE, kMsInfoKey, QStringLiteral("PATH"),
                        {REG_SZ, found.toLocal8Bit() + '\0'});
        table->SetValue(HKEY_LOCAL_MACHINE, kLocationKey, QStringLiteral("MSINFO"),
                        {REG_SZ, QFileInfo(found).absolutePath().toLocal8Bit() + '\0'});
        break;
    }
    return table;
}

const Registry& CurrentRegistry() {
    if (g_installed)
        return *g_installed;
    // Built once: PATH is searched the first time the program asks.
    static const std::unique_ptr<TableRegistry> builtIn =
        BuiltInRegistry([](const QString& name) { return QStandardPaths::findExecutable(name); });
    return *builtIn;
}

ScopedRegistry::ScopedRegistry(const Registry& registry) : previous_(g_installed) {
    g_installed = &registry;
}

ScopedRegistry::~ScopedRegistry() {
    g_installed = previous_;
}

bool GetKeyValue(std::uint32_t KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                 QString& KeyVal) {
    // The key closes when `key` goes out of scope, on every path out of here.
    const std::unique_ptr<RegistryKey> key = CurrentRegistry().OpenKey(KeyRoot, KeyName);
    if (!key) {
        KeyVal.clear();
        return false;
    }
    const std::optional<RegistryValue> value = key->QueryValue(SubKeyRef);
    if (!value || value->data.size() > ValueBufferSize) {
        KeyVal.clear();
        return false;
    }
    QByteArray bytes = value->data;
    if (!bytes.isEmpty() && bytes.back() == '\0')
        bytes.chop(1);
    if (value->type == REG_SZ) {
        KeyVal = QString::fromLocal8Bit(bytes);
    } else if (value->type == REG_DWORD) {
        // Little-endian; a short value counts its missing high bytes as zero.
        std::uint32_t number = 0;
        for (int i = 0; i < 4 && i < value->data.size(); ++i)
            number |= std::uint32_t(std::uint8_t(value->data[i])) << (8 * i);
        KeyVal = QString::number(number);
    }
    return true;
}

} // namespace platform
