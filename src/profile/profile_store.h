// SPDX-License-Identifier: GPL-3.0-or-later
// The profile file store: the behaviour of the operating system's profile
// functions that the program relies on, on a text kept as the file's own bytes so
// that every line not written keeps its bytes, its line end and its place.
#pragma once

#include "base/result.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace vireo {

/// At most this much of a profile file is read; the rest counts as absent.
inline constexpr qsizetype ProfileReadLimit = 1024 * 1024;
/// A value read back is cut to this many characters (the 255-character buffer less its NUL).
inline constexpr qsizetype ProfileValueLimit = 254;

/** The text of a profile file: sections in square brackets, key=value lines. */
class ProfileText {
  public:
    ProfileText() = default;
    explicit ProfileText(QByteArray bytes) : m_bytes(std::move(bytes)) {}

    const QByteArray &Bytes() const { return m_bytes; }

    /// The value of the first key of that name in the first section of that
    /// name (both matched without regard to case), blanks around it and one
    /// pair of enclosing quotes removed, not yet cut to ProfileValueLimit.
    std::optional<QString> Value(const QString &section, const QString &key) const;

    /// Replaces the value of that key (the line keeps its key spelling and
    /// line end), or adds "key=value" after the last key of the section, or
    /// adds the section and the key at the end of the text.
    void SetValue(const QString &section, const QString &key, const QString &value);

    /// The line end for new lines: that of the text's first line; CR LF for a
    /// text without any.
    QByteArray LineEnd() const;

  private:
    QByteArray m_bytes;
};

/// True when the texts can be written without changing the file's structure:
/// no line breaks or NUL anywhere, a section and key that are not empty, a key
/// without "=" that does not start with "[".
bool IsWritableEntry(const QString &section, const QString &key, const QString &value);

enum class ProfileReadStatus { Read, Missing, TooLarge, Unreadable };

struct ProfileFileRead {
    ProfileReadStatus status = ProfileReadStatus::Missing;
    ProfileText text; ///< for TooLarge: the complete lines within the limit
    QString reason;   ///< why a TooLarge or Unreadable file is not read whole
};

/// Reads the file, at most ProfileReadLimit bytes of it. Anything at the path
/// that is neither a file nor a folder (a FIFO, a device) is Unreadable
/// without being opened: opening it could wait for ever.
ProfileFileRead ReadProfileFile(const QString &path);

/// Replaces the file with the text in one atomic step (the old file stays
/// until the new one is complete). With createFolder, a missing folder is made.
Result<> WriteProfileFile(const QString &path, const ProfileText &text, bool createFolder = false);

} // namespace vireo
