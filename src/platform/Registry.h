#pragma once

// Read access to a hierarchical key/value store in the manner of the Windows
// registry. The About window asks it where the system-information tool lives.
// Windows would plug its real registry in here; elsewhere a small built-in table
// answers the two values that name the tool, and tests install a fake.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace platform {

/// Root key handles, as 32-bit values.
constexpr std::uint32_t HKEY_CLASSES_ROOT = 0x80000000u;
constexpr std::uint32_t HKEY_CURRENT_USER = 0x80000001u;
constexpr std::uint32_t HKEY_LOCAL_MACHINE = 0x80000002u;

/// Value types.
constexpr std::uint32_t REG_SZ = 1;
constexpr std::uint32_t REG_DWORD = 4;

/// Size of the buffer a value is read into; longer values cannot be read.
constexpr int ValueBufferSize = 1024;

/// One stored value: its type and its raw bytes (text in the local 8-bit
/// encoding, possibly with its terminating NUL; a DWORD as 4 little-endian bytes).
struct RegistryValue {
    std::uint32_t type = REG_SZ;
    QByteArray data;
};

/// An open key. Destroying it closes the key.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;
    /// The value named `name`, or nothing when the key has no such value.
    virtual std::optional<RegistryValue> QueryValue(const QString& name) const = 0;
};

/// A registry. Key paths use backslashes as separators, as on Windows.
class Registry {
public:
    virtual ~Registry() = default;
    /// Opens `path` under the root key `root`; null when it is missing or
    /// access is refused. The caller owns the key.
    virtual std::unique_ptr<RegistryKey> OpenKey(std::uint32_t root, const QString& path) const = 0;
};

/// A registry held in memory, keyed by root and path (compared without regard
/// to case, like the Windows registry). Used by the built-in table and by tests.
class TableRegistry : public Registry {
public:
    /// Makes sure the key exists, even without values.
    void AddKey(std::uint32_t root, const QString& path);
    /// Stores a value, creating its key.
    void SetValue(std::uint32_t root, const QString& path, const QString& name,
                  RegistryValue value);
    std::unique_ptr<RegistryKey> OpenKey(std::uint32_t root, const QString& path) const override;

private:
    using Values = std::map<QString, RegistryValue>; // value name (lower case) -> value
    std::map<QString, Values> keys_;                 // "root\path" (lower case) -> values
};

/// The registry the program reads: the one installed by a `ScopedRegistry`,
/// else the platform's own (on this platform the built-in table below).
const Registry& CurrentRegistry();

/// The built-in table: under HKEY_LOCAL_MACHINE, "SOFTWARE\Microsoft\Shared
/// Tools\MSINFO" value "PATH" holds the first system-information program found
/// on PATH, and "SOFTWARE\Microsoft\Shared Tools Location" value "MSINFO" holds
/// its folder. Without such a program both keys exist but hold no value.
/// `findProgram` resolves a program name to its full path ("" when missing).
std::unique_ptr<TableRegistry>
BuiltInRegistry(const std::function<QString(const QString&)>& findProgram);

/// Installs `registry` (not owned; must outlive this object) as the current one
/// for the lifetime of this object. Scopes nest.
class ScopedRegistry {
public:
    explicit ScopedRegistry(const Registry& registry);
    ~ScopedRegistry();
    ScopedRegistry(const ScopedRegistry&) = delete;
    ScopedRegistry& operator=(const ScopedRegistry&) = delete;

private:
    const Registry* previous_;
};

/// Reads the value `SubKeyRef` of the key `KeyName` under `KeyRoot` into `KeyVal`.
/// Text comes back without a terminating NUL; a REG_DWORD as its decimal text
/// (unsigned). A value of another type leaves `KeyVal` as it was but still
/// counts as read. Returns false, with `KeyVal` empty, when the key cannot be
/// opened or the value is missing or longer than the 1024-byte buffer.
bool GetKeyValue(std::uint32_t KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                 QString& KeyVal);

} // namespace platform
