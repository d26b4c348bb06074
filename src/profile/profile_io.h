// SPDX-License-Identifier: GPL-3.0-or-later
// clsLynProfileIO: the profile file class. It points at one file and
// one section and writes or reads one typed key at a time, converting between
// the value's kind and its text form; the file store is profile_store.h.
#pragma once

#include "profile_store.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <type_traits>
#include <variant>

namespace vireo {

/** Fixed point with four decimals, as the currency kind: value × 10000. */
struct Currency {
    qint64 Scaled = 0;
    friend bool operator==(const Currency &, const Currency &) = default;
};

/// The kinds of sData. std::monostate stands for every kind outside the profile's
/// value kinds (empty, object, array ...): saveData and loadData refuse it.
using ProfileValue =
    std::variant<std::monostate, qint16, qint32, quint8, float, double, Currency, QString, bool, QDateTime>;

template <typename T>
concept ProfileKind = std::is_same_v<T, qint16> || std::is_same_v<T, qint32> || std::is_same_v<T, quint8> ||
    std::is_same_v<T, float> || std::is_same_v<T, double> || std::is_same_v<T, Currency> ||
    std::is_same_v<T, QString> || std::is_same_v<T, bool> || std::is_same_v<T, QDateTime>;

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
class clsLynProfileIO {
  public:
    // The properties.
    void SetFullPath(const QString &s);
    QString FullPath() const { return GetMyProfile(); }
    void SetName(const QString &s) { m_name = s; }
    QString Name() const { return m_name; }
    void SetPath(const QString &s) { m_path = s; }
    QString Path() const { return m_path; }
    QString Section() const { return m_section; }
    void SetSection(const QString &s) { m_section = s; }

    /// Path = the program's folder followed by one separator. Without an
    /// argument the folder is that of the running program file.
    void SetCurrentPath();
    void SetCurrentPath(const QString &programFolder);
    /// Path followed directly by Name.
    QString GetMyProfile() const { return m_path + m_name; }

    /// Writes sKey=text of sData into Section; -1 (True) when written. Inside a
    /// batch the key goes into the pending text and reaches the disk at CommitBatch.
    qint16 saveData(const QString &sKey, const ProfileValue &sData);
    /// Reads sKey of Section into sData (kept when the result is 0, False).
    /// Without sDefaultData the current value of sData is the default.
    qint16 loadData(const QString &sKey, ProfileValue &sData);
    qint16 loadData(const QString &sKey, ProfileValue &sData, const ProfileValue &sDefaultData);

    // Typed forms: the kind is the variable's C++ type.
    template <ProfileKind T> qint16 loadData(const QString &sKey, T &sData)
    {
        ProfileValue value = sData;
        return Assign(loadData(sKey, value), value, sData);
    }
    template <ProfileKind T> qint16 loadData(const QString &sKey, T &sData, const T &sDefaultData)
    {
        ProfileValue value = sData;
        return Assign(loadData(sKey, value, ProfileValue(sDefaultData)), value, sData);
    }

    /// The text before its first NUL character.
    static QString StripTerminator(const QString &StrString);
    /// The file-name part of a path (the classic rule for PathStyle::Windows).
    static QString GetFileName(const QString &strPath, PathStyle style = NativePathStyle);
    /// The folder part of a path without a trailing separator; the program's
    /// folder for a bare file name or an empty text.
    QString GetPathName(const QString &strFilename, PathStyle style = NativePathStyle) const;
    /// str unchanged, as a value holding text.
    static ProfileValue UCase16(const QString &str) { return ProfileValue(str); }

    // Beyond the classic members -----------------------------------------------------

    /// Starts collecting saveData calls in memory; CommitBatch writes them all
    /// as one atomic replacement of the file, with the content the single
    /// writes would have given. False when the file cannot be read whole (then
    /// every saveData of the batch returns False and nothing is written).
    bool BeginBatch();
    /// Writes the batch; True when the file was replaced.
    bool CommitBatch();
    /// Drops the batch without writing.
    void DiscardBatch() { m_batch.reset(); }

    /// A file read instead of GetMyProfile() while that one does not exist;
    /// the first write then starts from its content.
    void SetReadFallback(const QString &path) { m_readFallback = path; }
    QString ReadFallback() const { return m_readFallback; }
    /// Creates Path when a write finds it missing (for the per-user folder).
    void SetCreateFolder(bool create) { m_createFolder = create; }
    /// The system's reason of the last failed write or batch, for traces and the CLI.
    QString LastError() const { return m_lastError; }
    /// The program folder that SetCurrentPath last used (or the running program's).
    QString ProgramFolder() const;

  private:
    template <ProfileKind T> static qint16 Assign(qint16 result, const ProfileValue &value, T &sData)
    {
        if (result)
            sData = std::get<T>(value);
        return result;
    }
    // The current text of the profile as the next read sees it: the batch, the
    // file, or the read fallback while the file is missing. A status other
    // than Read or Missing means a write must not replace what it did not see.
    ProfileFileRead ReadCurrent() const;
    /// Why a file that was not read whole (too large, unreadable) is left alone.
    QString NotReadWholeReason(const ProfileFileRead &read) const;
    std::optional<QString> ReadValue(const QString &key) const;

    QString m_name = QStringLiteral("Profile.INI");
    QString m_path;
    QString m_section;
    QString m_programFolder;
    QString m_readFallback;
    bool m_createFolder = false;
    QString m_lastError;
    struct Batch {
        bool ok = false;
        ProfileText text;
    };
    std::optional<Batch> m_batch;
};

/// The text form that saveData writes for a value; nullopt for a kind outside the table.
std::optional<QString> ProfileValueText(const ProfileValue &value);

} // namespace vireo
