// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile_io.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QtNumeric>

#include <charconv>
#include <cmath>
#include <limits>

namespace vireo {

namespace {

const QString DateWriteFormat = QStringLiteral("yyyy.MM.dd-HH:mm:ss");
constexpr qsizetype DateTextLength = 19;

template <typename F> QString ShortestNumber(F value)
{
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? QString::fromLatin1(buffer, end - buffer) : QString();
}

QString CurrencyText(Currency c)
{
    const bool negative = c.Scaled < 0;
    const quint64 magnitude = negative ? 0 - quint64(c.Scaled) : quint64(c.Scaled);
    QString text = QString::number(magnitude / 10000);
    if (const quint64 fraction = magnitude % 10000) {
        QString digits = QString::number(fraction).rightJustified(4, QLatin1Char('0'));
        while (digits.endsWith(QLatin1Char('0')))
            digits.chop(1);
        text += QLatin1Char('.') + digits;
    }
    return negative ? QLatin1Char('-') + text : text;
}

// A decimal number rounded to four places, halves to even (the currency kind's
// conversion); nullopt for other text or a number out of range.
std::optional<Currency> ParseCurrency(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^([+-]?)(\\d*)(?:\\.(\\d*))?$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch() || m.capturedLength(2) + m.capturedLength(3) == 0)
        return std::nullopt;
    const QString whole = m.captured(2);
    const QString fraction = m.captured(3);
    qint64 scaled = 0;
    for (const QChar digit : whole + fraction.left(4).leftJustified(4, QLatin1Char('0')))
        if (qMulOverflow<qint64>(scaled, 10, &scaled) ||
            qAddOverflow<qint64>(scaled, digit.digitValue(), &scaled))
            return std::nullopt;
    const QString rest = fraction.mid(4);
    if (!rest.isEmpty()) {
        const int first = rest.at(0).digitValue();
        const bool moreAfterFive = rest.mid(1).contains(QRegularExpression(QStringLiteral("[1-9]")));
        if ((first > 5 || (first == 5 && (moreAfterFive || scaled % 2 != 0))) &&
            qAddOverflow<qint64>(scaled, 1, &scaled))
            return std::nullopt;
    }
    return Currency{m.captured(1) == QLatin1String("-") ? -scaled : scaled};
}

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

// The number at the start of the text, as a leading-number read does: blanks,
// a sign and digits; 0 when there are no digits.
int LeadingNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    const bool negative = i < text.size() && text.at(i) == QLatin1Char('-');
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        ++i;
    int n = 0;
    for (; i < text.size() && text.at(i).isDigit(); ++i)
        n = n * 10 + text.at(i).digitValue();
    return negative ? -n : n;
}

// The 19-character date form by fixed positions, out-of-range parts rolling
// over into the next larger unit; nullopt when the date leaves years 100-9999.
std::optional<QDateTime> ParseDate19(const QString &text)
{
    const QStringView t(text);
    int year = LeadingNumber(t.sliced(0, 4));
    // Two-digit years follow the date-serial window: 0-29 are 2000-2029, 30-99 are 1930-1999.
    if (year >= 0 && year <= 29)
        year += 2000;
    else if (year >= 30 && year <= 99)
        year += 1900;
    if (year < 100 || year > 9999)
        return std::nullopt;
    const QDate date = QDate(year, 1, 1)
                           .addMonths(LeadingNumber(t.sliced(5, 2)) - 1)
                           .addDays(LeadingNumber(t.sliced(8, 2)) - 1);
    const qint64 seconds = qint64(LeadingNumber(t.sliced(11, 2))) * 3600 +
                           LeadingNumber(t.sliced(14, 2)) * 60 + LeadingNumber(t.sliced(17, 2));
    const QDateTime result = QDateTime(date, QTime(0, 0)).addSecs(seconds);
    if (!result.isValid() || result.date().year() < 100 || result.date().year() > 9999)
        return std::nullopt;
    return result;
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
            bool ok = false;
            if constexpr (std::is_same_v<T, qint16> || std::is_same_v<T, qint32> ||
                          std::is_same_v<T, quint8>) {
                const auto n = ParseWhole(text, std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
                if (n)
                    out.emplace<T>(static_cast<T>(*n));
                return n.has_value();
            } else if constexpr (std::is_same_v<T, float>) {
                const float f = text.trimmed().toFloat(&ok);
                ok = ok && std::isfinite(f);
                if (ok)
                    out.emplace<T>(f);
                return ok;
            } else if constexpr (std::is_same_v<T, double>) {
                const double d = text.trimmed().toDouble(&ok);
                ok = ok && std::isfinite(d);
                if (ok)
                    out.emplace<T>(d);
                return ok;
            } else if constexpr (std::is_same_v<T, Currency>) {
                const auto c = ParseCurrency(text);
                if (c)
                    out.emplace<T>(*c);
                return c.has_value();
            } else if constexpr (std::is_same_v<T, QString>) {
                out.emplace<T>(text);
                return true;
            } else if constexpr (std::is_same_v<T, bool>) {
                out.emplace<T>(text != QLatin1String("0"));
                return true;
            } else if constexpr (std::is_same_v<T, QDateTime>) {
                if (text.size() != DateTextLength)
                    return true; // any other length leaves the date as it was, and the read counts
                const auto date = ParseDate19(text);
                if (date)
                    out.emplace<T>(*date);
                return date.has_value();
            } else {
                return false;
            }
        },
        kind);
}

// The default text GetPrivateProfileString falls back on: the written form,
// except the date, which uses the platform's general form (never 19 characters).
QString DefaultText(const ProfileValue &value)
{
    if (const QDateTime *date = std::get_if<QDateTime>(&value))
        return date->toString(Qt::TextDate);
    return ProfileValueText(value).value_or(QString());
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
            else if constexpr (std::is_same_v<T, qint16> || std::is_same_v<T, qint32> ||
                               std::is_same_v<T, quint8>)
                return QString::number(v);
            else if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>)
                return std::isfinite(v) ? std::optional<QString>(ShortestNumber(v)) : std::nullopt;
            else if constexpr (std::is_same_v<T, Currency>)
                return CurrencyText(v);
            else if constexpr (std::is_same_v<T, QString>)
                return v;
            else if constexpr (std::is_same_v<T, bool>)
                return v ? QStringLiteral("1") : QStringLiteral("0");
            else
                return v.isValid() ? std::optional<QString>(v.toString(DateWriteFormat)) : std::nullopt;
        },
        value);
}

void clsLynProfileIO::SetFullPath(const QString &s)
{
    m_path = GetPathName(s);
    if (!m_path.endsWith(PathSeparator()))
        m_path += PathSeparator();
    m_name = GetFileName(s);
}

void clsLynProfileIO::SetCurrentPath()
{
    SetCurrentPath(QCoreApplication::applicationDirPath());
}

void clsLynProfileIO::SetCurrentPath(const QString &programFolder)
{
    m_programFolder = QDir::toNativeSeparators(programFolder);
    m_path = m_programFolder;
    if (!m_path.endsWith(PathSeparator()))
        m_path += PathSeparator();
}

QString clsLynProfileIO::ProgramFolder() const
{
    return m_programFolder.isEmpty() ? QDir::toNativeSeparators(QCoreApplication::applicationDirPath())
                                     : m_programFolder;
}

QString clsLynProfileIO::NotReadWholeReason(const ProfileFileRead &read) const
{
    return read.status == ProfileReadStatus::TooLarge
               ? QStringLiteral("%1 is larger than %2 bytes").arg(GetMyProfile()).arg(ProfileReadLimit)
               : read.reason;
}

ProfileFileRead clsLynProfileIO::ReadCurrent() const
{
    if (m_batch) {
        ProfileFileRead read;
        read.status = m_batch->ok ? ProfileReadStatus::Read : ProfileReadStatus::Unreadable;
        read.text = m_batch->text;
        return read;
    }
    ProfileFileRead read = ReadProfileFile(GetMyProfile());
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

std::optional<QString> clsLynProfileIO::ReadValue(const QString &key) const
{
    return ReadCurrent().text.Value(m_section, key);
}

qint16 clsLynProfileIO::saveData(const QString &sKey, const ProfileValue &sData)
{
    const std::optional<QString> text = ProfileValueText(sData);
    if (!text || !IsWritableEntry(m_section, sKey, *text))
        return 0;
    if (m_batch) {
        if (!m_batch->ok)
            return 0;
        m_batch->text.SetValue(m_section, sKey, *text);
        return -1;
    }
    ProfileFileRead current = ReadCurrent();
    // A file we could not read whole is never replaced: its unread part would be lost.
    if (current.status == ProfileReadStatus::Unreadable || current.status == ProfileReadStatus::TooLarge) {
        m_lastError = NotReadWholeReason(current);
        return 0;
    }
    current.text.SetValue(m_section, sKey, *text);
    const ProfileWriteResult written = WriteProfileFile(GetMyProfile(), current.text, m_createFolder);
    if (!written.ok)
        m_lastError = written.reason;
    return written.ok ? -1 : 0;
}

bool clsLynProfileIO::BeginBatch()
{
    m_batch.reset();
    const ProfileFileRead current = ReadCurrent();
    Batch batch;
    batch.ok = current.status == ProfileReadStatus::Read || current.status == ProfileReadStatus::Missing;
    batch.text = current.text;
    if (!batch.ok)
        m_lastError = NotReadWholeReason(current);
    m_batch = std::move(batch);
    return m_batch->ok;
}

bool clsLynProfileIO::CommitBatch()
{
    if (!m_batch)
        return false;
    const Batch batch = std::move(*m_batch);
    m_batch.reset();
    if (!batch.ok)
        return false;
    const ProfileWriteResult written = WriteProfileFile(GetMyProfile(), batch.text, m_createFolder);
    if (!written.ok)
        m_lastError = written.reason;
    return written.ok;
}

qint16 clsLynProfileIO::loadData(const QString &sKey, ProfileValue &sData)
{
    return loadData(sKey, sData, sData);
}

qint16 clsLynProfileIO::loadData(const QString &sKey, ProfileValue &sData, const ProfileValue &sDefaultData)
{
    if (std::holds_alternative<std::monostate>(sData) || sDefaultData.index() != sData.index())
        return 0;
    const QString read = CutToValueLimit(ReadValue(sKey).value_or(DefaultText(sDefaultData)));
    if (read.isEmpty())
        return 0;
    QString text = StripTerminator(read);
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    // sData changes only after a successful conversion.
    ProfileValue value = sData;
    if (!Convert(text, sData, value))
        return 0;
    sData = std::move(value);
    return -1;
}

QString clsLynProfileIO::StripTerminator(const QString &StrString)
{
    const qsizetype nul = StrString.indexOf(QChar(0));
    return nul < 0 ? StrString : StrString.left(nul);
}

QString clsLynProfileIO::GetFileName(const QString &strPath, PathStyle style)
{
    // The Windows rule drops everything up to each "\" and then each ":" in
    // turn, which leaves the text after the last of them.
    const qsizetype cut = style == PathStyle::Windows ? std::max(strPath.lastIndexOf(QLatin1Char('\\')),
                                                                 strPath.lastIndexOf(QLatin1Char(':')))
                                                      : strPath.lastIndexOf(QLatin1Char('/'));
    return strPath.mid(cut + 1);
}

QString clsLynProfileIO::GetPathName(const QString &strFilename, PathStyle style) const
{
    const QChar sep = PathSeparator(style);
    QString text = strFilename;
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
        p = ProgramFolder();
    }
    // The root folder of a Posix path keeps its "/": without it no folder is left.
    if (p.endsWith(sep) && !(style == PathStyle::Posix && p.size() == 1))
        p.chop(1);
    return p;
}

} // namespace vireo
