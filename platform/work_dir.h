#pragma once

#include <QString>

namespace quintaro {

// Velmora's working directory, where the timetable tables live. "C:\VTEMP" on Windows; elsewhere
// Velmora runs under Wine, so the same folder inside the Wine prefix ($WINEPREFIX, by default
// ~/.wine, then drive_c/VTEMP), every name matched without regard to case as Windows does.
// QUINTARO_VTEMP overrides the place.
class WorkDir {
public:
    explicit WorkDir(QString path) : m_path(std::move(path)) { }

    // The default place, not yet checked or created.
    static QString defaultPath();
    // `path`, or the default when empty; created when missing, with every missing folder above it.
    // `made`, when given, receives the folders this made, the deepest first (empty when it
    // existed). Raises a RunError when it is a file, cannot be created, or cannot be written.
    static WorkDir prepare(const QString& path = {}, QStringList* made = nullptr);

    // A Windows path under the working directory ("c:\vtemp\sauce") as it lies on this machine.
    static QString mapWindowsPath(const QString& windowsPath);

    const QString& path() const { return m_path; }
    // NAME.DBF as it stands in the folder, whatever its letter case, or the upper-case name.
    QString tablePath(const QString& table) const;
    bool tableExists(const QString& table) const;
    // Deletes every letter-case variant of NAME.DBF and NAME.MDX; failures are ignored.
    void removeTableFiles(const QString& table) const;
    // Every file in the folder whose name equals `fileName` without regard to case, as full paths;
    // none when the folder does not exist. Raises a RunError when the folder cannot be read whole.
    QStringList filesNamed(const QString& fileName) const;
    // The folder of that name inside this one, matched without regard to case.
    WorkDir subfolder(const QString& name) const;

private:
    QString m_path;
};

// Follows `parts` from `base`, each matched without regard to case against what exists; a part
// that does not exist is taken as written.
QString resolveCaseInsensitive(const QString& base, const QStringList& parts);

} // namespace quintaro
