// SPDX-License-Identifier: GPL-3.0-or-later
// ProfileFile: the profile file class. It points at one file and one section
// and writes or reads one typed key at a time, converting between the value's
// kind and its text form; the file store itself is profile_store.h.
#pragma once

#include "base/result.h"
#include "profile_store.h"

#include <QString>

#include <optional>
#include <type_traits>
#include <variant>

namespace vireo {

/// The kinds a profile value can have: the options' 16- and 32-bit integers,
/// texts and on/off flags. std::monostate stands for a value of no kind, which
/// SaveData and LoadData refuse.
using ProfileValue = std::variant<std::monostate, qint16, qint32, QString, bool>;

template <typename T>
concept ProfileKind = std::is_same_v<T, qint16> || std::is_same_v<T, qint32> || std::is_same_v<T, QString> ||
    std::is_same_v<T, bool>;

/// How GetFileName and GetPathName split a path: Windows is the classic rule
/// ("\" and ":" separate, "/" becomes "\"); Posix splits at "/" only.
enum class PathStyle { Windows, Posix };
#ifdef Q_OS_WIN
inline constexpr PathStyle NativePathStyle = PathStyle::Windows;
#else
inline constexpr PathStyle NativePathStyle = PathStyle::Posix;
#endif

/// The folder separator of this platform, the one that ends Path.
QChar PathSeparator(PathStyle style = NativePathStyle);

/** The profile file class: Path + Name is the file, Section is sticky. */
class ProfileFile {
  public:
    /// Sets Path (ending in one separator) and Name from a full file path.
    void SetFullPath(const QString &path);
    void SetName(const QString &name) { m_name = name; }
    QString Name() const { return m_name; }
    void SetPath(const QString &path) { m_path = path; }
    QString Path() const { return m_path; }
    QString Section() const { return m_section; }
    void SetSection(const QString &section) { m_section = section; }

    /// Path = the program's folder followed by one separator. Without an
    /// argument the folder is that of the running program file.
    void SetCurrentPath();
    void SetCurrentPath(const QString &programFolder);
    /// Path followed directly by Name.
    QString FilePath() const { return m_path + m_name; }

    /// Writes key=text of the value into Section. Inside a batch the key goes
    /// into the pending text and reaches the disk at CommitBatch.
    Result<> SaveData(const QString &key, const ProfileValue &value);
    /// Reads key of Section into value; true when a value was read, otherwise
    /// value is kept. Without a default the current value is the default.
    bool LoadData(const QString &key, ProfileValue &value);
    bool LoadData(const QString &key, ProfileValue &value, const ProfileValue &defaultValue);

    // Typed forms: the kind is the variable's C++ type.
    template <ProfileKind T> bool LoadData(const QString &key, T &value)
    {
        return LoadData(key, value, value);
    }
    template <ProfileKind T> bool LoadData(const QString &key, T &value, const T &defaultValue)
    {
        ProfileValue read = value;
        if (!LoadData(key, read, ProfileValue(defaultValue)))
            return false;
        value = std::get<T>(read);
        return true;
    }

    /// The text before its first NUL character.
    static QString StripTerminator(const QString &text);
    /// The file-name part of a path (the classic rule for PathStyle::Windows).
    static QString GetFileName(const QString &path, PathStyle style = NativePathStyle);
    /// The folder part of a path without a trailing separator; the program's
    /// folder for a bare file name or an empty text.
    QString GetPathName(const QString &path, PathStyle style = NativePathStyle) const;

    /// Starts collecting SaveData calls in memory; CommitBatch writes them all
    /// as one atomic replacement of the file, with the content the single
    /// writes would have given. Fails when the file cannot be read whole (then
    /// every SaveData of the batch fails too and nothing is written).
    Result<> BeginBatch();
    /// Writes the batch as one replacement of the file.
    Result<> CommitBatch();
    /// Drops the batch without writing.
    void DiscardBatch() { m_batch.reset(); }

    /// A file read instead of FilePath() while that one does not exist;
    /// the first write then starts from its content.
    void SetReadFallback(const QString &path) { m_readFallback = path; }
    QString ReadFallback() const { return m_readFallback; }
    /// Creates Path when a write finds it missing (for the per-user folder).
    void SetCreateFolder(bool create) { m_createFolder = create; }

  private:
    // The current text of the profile as the next read sees it: the batch, the
    // file, or the read fallback while the file is missing. A status other
    // than Read or Missing means a write must not replace what it did not see.
    ProfileFileRead ReadCurrent() const;

    QString m_name = QStringLiteral("Profile.INI");
    QString m_path;
    QString m_section;
    QString m_programFolder; ///< what SetCurrentPath last used; empty: the running program's folder
    QString m_readFallback;
    bool m_createFolder = false;
    std::optional<ProfileFileRead> m_batch; ///< the pending text, as read when the batch began
};

/// The text form that SaveData writes for a value; nullopt for a value of no kind.
std::optional<QString> ProfileValueText(const ProfileValue &value);

} // namespace vireo
