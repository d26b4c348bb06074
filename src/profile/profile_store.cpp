// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile_store.h"

#include "base/regular_file.h"

#include "base/atomic_file.h"
#include "base/file_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vireo {

namespace {

// One line of the text: [start, contentEnd) is its content without the line
// end; next is where the following line starts.
struct Line {
    qsizetype start = 0;
    qsizetype contentEnd = 0;
    qsizetype next = 0;
};

// Editors on Windows often start a UTF-8 file with a byte-order mark. It is
// no part of the first line: without this, a first section header behind it
// would go unseen and the next save would add a second section of that name.
constexpr QByteArrayView Utf8Mark("\xEF\xBB\xBF");

class LineReader {
  public:
    explicit LineReader(const QByteArray &bytes)
        : m_bytes(bytes), m_pos(bytes.startsWith(Utf8Mark) ? Utf8Mark.size() : 0)
    {
    }

    bool Next(Line &line)
    {
        if (m_pos >= m_bytes.size())
            return false;
        line.start = m_pos;
        const qsizetype lf = m_bytes.indexOf('\n', m_pos);
        if (lf < 0) {
            line.contentEnd = line.next = m_bytes.size();
        } else {
            line.contentEnd = (lf > m_pos && m_bytes.at(lf - 1) == '\r') ? lf - 1 : lf;
            line.next = lf + 1;
        }
        m_pos = line.next;
        return true;
    }

  private:
    const QByteArray &m_bytes;
    qsizetype m_pos;
};

QByteArrayView Content(const QByteArray &bytes, const Line &line)
{
    return QByteArrayView(bytes).sliced(line.start, line.contentEnd - line.start);
}

// The name of a section header line ("[name]", blanks allowed around), or nullopt.
std::optional<QByteArrayView> SectionName(QByteArrayView content)
{
    const QByteArrayView t = content.trimmed();
    if (!t.startsWith('['))
        return std::nullopt;
    const qsizetype close = t.lastIndexOf(']');
    if (close < 1)
        return std::nullopt;
    return t.sliced(1, close - 1).trimmed();
}

bool SameName(QByteArrayView bytes, const QString &name)
{
    return QString::fromUtf8(bytes).compare(name, Qt::CaseInsensitive) == 0;
}

// Lines that end a section's run of keys: a new key goes after the last line
// that is neither blank nor a comment, so that a blank line or a comment that
// leads into the next section stays in front of it.
bool IsContentLine(QByteArrayView content)
{
    const QByteArrayView t = content.trimmed();
    return !t.isEmpty() && !t.startsWith(';') && !t.startsWith('#');
}

struct KeyMatch {
    qsizetype equals = -1; // offset of the "=" in the whole text
    Line line;
};

// Finds the first section of that name; reports the first matching key in it
// and the end of its last content line (the header's when it has none).
struct SectionScan {
    bool found = false;
    std::optional<KeyMatch> key;
    Line lastContent;
};

SectionScan Scan(const QByteArray &bytes, const QString &section, const QString &key)
{
    SectionScan scan;
    LineReader reader(bytes);
    Line line;
    while (reader.Next(line)) {
        const QByteArrayView content = Content(bytes, line);
        if (const auto name = SectionName(content)) {
            if (scan.found)
                break; // the end of the first matching section
            if (SameName(*name, section)) {
                scan.found = true;
                scan.lastContent = line;
            }
            continue;
        }
        if (!scan.found)
            continue;
        if (IsContentLine(content))
            scan.lastContent = line;
        const qsizetype eq = content.indexOf('=');
        if (eq >= 0 && SameName(content.first(eq).trimmed(), key)) {
            scan.key = KeyMatch{line.start + eq, line};
            break;
        }
    }
    return scan;
}

} // namespace

std::optional<QString> ProfileText::Value(const QString &section, const QString &key) const
{
    if (section.isEmpty() || key.isEmpty())
        return std::nullopt;
    const SectionScan scan = Scan(m_bytes, section, key);
    if (!scan.key)
        return std::nullopt;
    QByteArrayView value = QByteArrayView(m_bytes)
                               .sliced(scan.key->equals + 1, scan.key->line.contentEnd - scan.key->equals - 1)
                               .trimmed();
    // The profile functions drop one pair of quotes that enclose the whole value.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    return QString::fromUtf8(value);
}

void ProfileText::SetValue(const QString &section, const QString &key, const QString &value)
{
    const QByteArray eol = LineEnd();
    const QByteArray entry = key.toUtf8() + '=' + value.toUtf8();
    const SectionScan scan = Scan(m_bytes, section, key);
    if (scan.key) {
        const qsizetype from = scan.key->equals + 1;
        m_bytes.replace(from, scan.key->line.contentEnd - from, value.toUtf8());
        return;
    }
    if (scan.found) {
        const Line &last = scan.lastContent;
        if (last.contentEnd == last.next) // the text's last line, without a line end
            m_bytes.insert(last.next, eol + entry);
        else
            m_bytes.insert(last.next, entry + eol);
        return;
    }
    if (!m_bytes.isEmpty() && !m_bytes.endsWith('\n') && m_bytes != Utf8Mark)
        m_bytes += eol;
    m_bytes += '[' + section.toUtf8() + ']' + eol + entry + eol;
}

QByteArray ProfileText::LineEnd() const
{
    const qsizetype lf = m_bytes.indexOf('\n');
    if (lf > 0 && m_bytes.at(lf - 1) != '\r')
        return QByteArrayLiteral("\n");
    if (lf == 0)
        return QByteArrayLiteral("\n");
    // A new file gets CR LF: the profile format is Windows', files are copied
    // between machines, and every reader of either platform accepts CR LF.
    return QByteArrayLiteral("\r\n");
}

bool IsWritableEntry(const QString &section, const QString &key, const QString &value)
{
    const auto breaksLines = [](const QString &s) {
        return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r')) || s.contains(QChar(0));
    };
    if (section.isEmpty() || key.isEmpty() || breaksLines(section) || breaksLines(key) || breaksLines(value))
        return false;
    return !key.contains(QLatin1Char('=')) && !key.trimmed().startsWith(QLatin1Char('['));
}

ProfileFileRead ReadProfileFile(const QString &path)
{
    ProfileFileRead result;
    if (!QFileInfo::exists(path))
        return result; // Missing
    result.status = ProfileReadStatus::Unreadable;
    // The profile is a file: a FIFO would wait for a writer and a device may
    // never end or answer, so anything else is not read at all.
    QFile file;
    if (const Result<> opened = OpenRegularFile(file, path); !opened) {
        result.reason = opened.error();
        return result;
    }
    QByteArray bytes = file.read(ProfileReadLimit + 1);
    if (bytes.isNull() && file.error() != QFileDevice::NoError) {
        result.reason = file.errorString();
        return result;
    }
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        // Sixteen-bit text: reading it as eight-bit text would find nothing,
        // and appending eight-bit lines would leave a file no reader can use.
        result.reason = QStringLiteral("the file is UTF-16 text; save it as UTF-8 text");
        return result;
    }
    result.status = ProfileReadStatus::Read;
    if (bytes.size() > ProfileReadLimit) {
        // Keep the complete lines within the limit; a cut line could give a wrong value.
        bytes.truncate(ProfileReadLimit);
        bytes.truncate(bytes.lastIndexOf('\n') + 1);
        result.status = ProfileReadStatus::TooLarge;
        result.reason = QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(ProfileReadLimit);
    }
    result.text = ProfileText(std::move(bytes));
    return result;
}

Result<> WriteProfileFile(const QString &path, const ProfileText &text, bool createFolder)
{
    if (createFolder) {
        const QString folder = AbsoluteFolderOf(path);
        if (!QDir().mkpath(folder))
            return Failure{QStringLiteral("cannot create folder %1").arg(folder)};
    }
    return SaveFileAtomically(path, text.Bytes());
}

} // namespace vireo
