#pragma once

// Points the settings file and the thumbnail cache at a fresh temporary folder
// and starts every test from the default record, so that no test reads or
// writes a real settings file or thumbnail.

#include "platform/ProgramFolder.h"
#include "settings/mSetup.h"

#include <QFile>
#include <QTemporaryDir>

class SettingsSandbox {
public:
    SettingsSandbox() {
        platform::SetProgramFolderOverride(dir_.path());
        platform::SetUserConfigFolderOverride(dir_.filePath(QStringLiteral("user")));
        settings::Setup = settings::DefaultSetup();
        qputenv("XDG_CACHE_HOME", QFile::encodeName(dir_.filePath(QStringLiteral("cache"))));
    }
    ~SettingsSandbox() {
        platform::SetProgramFolderOverride({});
        platform::SetUserConfigFolderOverride({});
        settings::Setup = settings::DefaultSetup();
    }
    SettingsSandbox(const SettingsSandbox&) = delete;
    SettingsSandbox& operator=(const SettingsSandbox&) = delete;

    QString FilePath() const { return settings::SetupFilePath(); }
    bool FileExists() const { return QFile::exists(FilePath()); }

    /// The record as the file on disk holds it.
    settings::SetupRecord ReadBack() const {
        QFile file(FilePath());
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        const QByteArray bytes = file.readAll();
        return settings::DecodeSetup(
            std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                          static_cast<std::size_t>(bytes.size())));
    }

private:
    QTemporaryDir dir_;
};
