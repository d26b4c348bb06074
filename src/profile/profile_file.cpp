// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile_file.h"

#include "base/program_folders.h"

#include <QDir>

#include <cmath>
#include <limits>

namespace vireo {

namespace {

// A whole number in [low, high]: decimal digits, or a decimal number rounded
// to the nearest whole, halves to even, as the integer conversions do.
std::optional<qint64> ParseWhole(const QString &text, qint64 low, qint64 high)
{
    const QString t = text.trimmed();
    bool ok = false;
    qint64 n = t.toLongLong(&ok, 10);
    if (!ok) {
        const double d = t.toDouble(&ok);
        if (!ok || !std::isfinite(d) || std::nearbyint(d) < double(low) || std::nearbyint(d) > double(high))
            return std::nullopt;
        n = static_cast<qint64>(std::nearbyint(d));
    }
    if (n < low || n > high)
        return std::nullopt;
    return n;
}

// Converts the text into `out`, a variable of the kind of `kind`; false when
// the text does not convert (out is then unspecified). Assigning in place
// rather than returning a new variant keeps GCC's uninitialised-use analysis
// (a false alarm under the sanitizers) quiet.
bool Convert(const QString &text, const ProfileValue &kind, ProfileValue &out)
{
    return std::visit(
        [&text, &out](const auto &sample) -> bool {
            using T = std::decay_t<decltype(sample)>;
            if constexpr (std::is_same_v<T, qint16> || std::is_same_v<T, qint32>) {
                const auto n = ParseWhole(text, std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
                if (n)
                    out.emplace<T>(static_cast<T>(*n));
                return n.has_value();
            } else if constexpr (std::is_same_v<T, QString>) {
                out.emplace<T>(text);
                return true;
            } else if constexpr (std::is_same_v<T, bool>) {
                out.emplace<T>(text != QLatin1String("0"));
                return true;
            } else {
                return false;
            }
        },
        kind);
}

// The 254-character cut of the read buffer, never splitting a surrogate pair.
QString CutToValueLimit(QString text)
{
    if (text.size() > ProfileValueLimit) {
        text.truncate(ProfileValueLimit);
        if (text.back().isHighSurrogate())
            text.chop(1);
    }
    return text;
}

} // namespace

QChar PathSeparator(PathStyle style)
{
    return style == PathStyle::Windows ? QLatin1Char('\\') : QLatin1Char('/');
}

std::optional<QString> ProfileValueText(const ProfileValue &value)
{
    return std::visit(
        [](const auto &v) -> std::optional<QString> {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>)
                return std::nullopt;
            else if constexpr (std::is_same_v<T, QString>)
                return v;
            else if constexpr (std::is_same_v<T, bool>)
                return v ? QStringLiteral("1") : QStringLiteral("0");
            else
                return QString::number(v);
        },
        value);
}

void ProfileFile::SetFullPath(const QString &path)
{
    // Qt gives paths with "/", at which the Windows rule does not split names.
    const QString native = QDir::toNativeSeparators(path);
    m_path = GetPathName(native);
    if (!m_path.endsWith(PathSeparator()))
        m_path += PathSeparator();
    m_name = GetFileName(native);
}

void ProfileFile::SetCurrentPath()
{
    SetCurrentPath(vireo::ProgramFolder());
}

void ProfileFile::SetCurrentPath(const QString &programFolder)
{
    m_programFolder = QDir::toNativeSeparators(programFolder);
    m_path = m_programFolder;
    if (!m_path.endsWith(PathSeparator()))
        m_path += PathSeparator();
}

ProfileFileRead ProfileFile::ReadCurrent() const
{
    if (m_batch)
        return *m_batch;
    ProfileFileRead read = ReadProfileFile(FilePath());
    if (read.status == ProfileReadStatus::Missing && !m_readFallback.isEmpty()) {
        ProfileFileRead seed = ReadProfileFile(m_readFallback);
        // The fallback only seeds a file of our own: what of it can be read counts.
        if (seed.status != ProfileReadStatus::Unreadable) {
            read.text = seed.text;
            read.status = ProfileReadStatus::Read;
        }
    }
    return read;
}

Result<> ProfileFile::SaveData(const QString &key, const ProfileValue &value)
{
    const std::optional<QString> text = ProfileValueText(value);
    if (!text)
        return Failure{QStringLiteral("%1 has no value to write").arg(key)};
    if (!IsWritableEntry(m_section, key, *text))
        return Failure{QStringLiteral("[%1] %2 would break the file's lines").arg(m_section, key)};
    ProfileFileRead current = ReadCurrent();
    // A file we could not read whole is never replaced: its unread part would be lost.
    if (current.status == ProfileReadStatus::Unreadable || current.status == ProfileReadStatus::TooLarge)
        return Failure{current.reason};
    current.text.SetValue(m_section, key, *text);
    if (m_batch) {
        m_batch->text = current.text;
        return {};
    }
    return WriteProfileFile(FilePath(), current.text, m_createFolder);
}

Result<> ProfileFile::BeginBatch()
{
    m_batch.reset();
    m_batch = ReadCurrent();
    if (m_batch->status == ProfileReadStatus::Unreadable || m_batch->status == ProfileReadStatus::TooLarge)
        return Failure{m_batch->reason};
    return {};
}

Result<> ProfileFile::CommitBatch()
{
    if (!m_batch)
        return Failure{QStringLiteral("no batch was begun")};
    const ProfileFileRead batch = std::move(*m_batch);
    m_batch.reset();
    if (batch.status == ProfileReadStatus::Unreadable || batch.status == ProfileReadStatus::TooLarge)
        return Failure{batch.reason};
    return WriteProfileFile(FilePath(), batch.text, m_createFolder);
}

bool ProfileFile::LoadData(const QString &key, ProfileValue &value)
{
    return LoadData(key, value, value);
}

bool ProfileFile::LoadData(const QString &key, ProfileValue &value, const ProfileValue &defaultValue)
{
    if (std::holds_alternative<std::monostate>(value) || defaultValue.index() != value.index())
        return false;
    const std::optional<QString> stored = ReadCurrent().text.Value(m_section, key);
    const QString read = CutToValueLimit(stored.value_or(ProfileValueText(defaultValue).value_or(QString())));
    if (read.isEmpty())
        return false;
    QString text = StripTerminator(read);
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    // The variable changes only after a successful conversion.
    ProfileValue converted = value;
    if (!Convert(text, value, converted))
        return false;
    value = std::move(converted);
    return true;
}

QString ProfileFile::StripTerminator(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

QString ProfileFile::GetFileName(const QString &path, PathStyle style)
{
    // The Windows rule drops everything up to each "\" and then each ":" in
    // turn, which leaves the text after the last of them.
    const qsizetype cut = style == PathStyle::Windows ? std::max(path.lastIndexOf(QLatin1Char('\\')),
                                                                 path.lastIndexOf(QLatin1Char(':')))
                                                      : path.lastIndexOf(QLatin1Char('/'));
    return path.mid(cut + 1);
}

QString ProfileFile::GetPathName(const QString &path, PathStyle style) const
{
    const QChar sep = PathSeparator(style);
    QString text = path;
    if (style == PathStyle::Windows)
        text.replace(QLatin1Char('/'), sep);
    qsizetype n = text.size();
    if (text.isEmpty() || text.indexOf(sep) == n - 1) {
        if (n > 1)
            --n;
    } else {
        n = text.lastIndexOf(sep) + 1; // 1-based position, 0 when there is none
    }
    QString p;
    if (n > 0) {
        p = text.left(n);
        if (style == PathStyle::Windows && p.endsWith(QLatin1Char(':')))
            p += sep;
    } else {
        p = m_programFolder.isEmpty() ? QDir::toNativeSeparators(vireo::ProgramFolder()) : m_programFolder;
    }
    // The root folder of a Posix path keeps its "/": without it no folder is left.
    if (p.endsWith(sep) && !(style == PathStyle::Posix && p.size() == 1))
        p.chop(1);
    return p;
}

} // namespace vireo
