// SPDX-License-Identifier: GPL-3.0-or-later
// Settings files: a bounded streaming loader that takes a file whole or not at
// all, their text form, and saving through the atomic writer.
#include "settings_file.h"

#include "base/regular_file.h"

#include "hex_text.h"

#include <QFile>

#include <optional>

namespace vireo {

QString FileErrorMessage(FileErrorCode code)
{
    switch (code) {
    case FileErrorCode::CannotOpen:
        return QStringLiteral("Cannot open file.");
    case FileErrorCode::CannotSave:
        return QStringLiteral("Cannot save file.");
    case FileErrorCode::IllegalData:
        return QStringLiteral("Illegal data.");
    case FileErrorCode::CannotOpenInitial:
        return QStringLiteral("Cannot open initial file.");
    case FileErrorCode::IllegalInitial:
        break;
    }
    return QStringLiteral("Illegal initial.");
}

QString FileErrorText(FileErrorCode code, const QString &fileName, const QString &reason)
{
    QString text = FileErrorMessage(code) + QStringLiteral("\r\n\r\n") + fileName;
    if (!reason.isEmpty())
        text += QStringLiteral("\r\n\r\n") + reason;
    return text;
}

namespace {

// Longest line content worth keeping: four digits and the CR of a CR LF end.
constexpr qsizetype MaxLine = 5;

// Feeds the file's bytes line by line into the load buffer, and says what is
// wrong with the first line that cannot be a word.
class LineLoader {
  public:
    explicit LineLoader(UnitWords &buffer) : m_buffer(buffer) {}

    // Returns false as soon as the content is known to be illegal.
    bool Feed(const char *data, qsizetype size)
    {
        for (qsizetype i = 0; i < size; ++i) {
            const char c = data[i];
            if (c == '\n') {
                if (!EndLine())
                    return false;
            } else if (m_length == MaxLine) {
                return Refuse(QStringLiteral("is longer than four hexadecimal digits"));
            } else {
                m_line[m_length++] = c;
            }
        }
        return true;
    }

    // End of file: a last line without a line end still counts.
    bool Finish()
    {
        if (m_length > 0 && !EndLine())
            return false;
        if (m_count == word::Count)
            return true;
        m_problem = QStringLiteral("The file ends after %1 lines; a settings file has %2.")
                        .arg(m_count)
                        .arg(word::Count);
        return false;
    }

    QString Problem() const { return m_problem; }

  private:
    bool EndLine()
    {
        qsizetype length = m_length;
        if (length > 0 && m_line[length - 1] == '\r')
            --length;
        m_length = 0;
        if (m_count == word::Count)
            return Refuse(QStringLiteral("is one too many: a settings file has %1 lines").arg(word::Count));
        const std::optional<std::uint16_t> value = ParseWordHex(QByteArrayView(m_line, length));
        if (!value)
            return Refuse(length == 0 ? QStringLiteral("is empty")
                                      : QStringLiteral("is not four hexadecimal digits"));
        m_buffer[m_count++] = *value;
        return true;
    }

    bool Refuse(const QString &what)
    {
        m_problem = QStringLiteral("Line %1 %2.").arg(m_count + 1).arg(what);
        return false;
    }

    UnitWords &m_buffer;
    char m_line[MaxLine] = {};
    qsizetype m_length = 0;
    int m_count = 0;
    QString m_problem;
};

} // namespace

Result<LoadOutcome> LoadDataFile(const QString &path, UnitModel &model)
{
    // Only a regular file is read: a FIFO would wait for a writer, a device may never end.
    QFile file;
    if (const Result<> opened = OpenRegularFile(file, path); !opened)
        return Failure{opened.error()};
    return LoadDataFrom(file, model);
}

Result<LoadOutcome> LoadDataFrom(QIODevice &device, UnitModel &model)
{
    LineLoader loader(model.LoadBuffer);
    char chunk[4096];
    for (;;) {
        const qint64 got = device.read(chunk, sizeof chunk);
        if (got < 0)
            return Failure{device.errorString()};
        if (got == 0)
            break;
        if (!loader.Feed(chunk, got))
            return LoadOutcome{LoadStatus::Illegal, loader.Problem()};
    }
    if (!loader.Finish())
        return LoadOutcome{LoadStatus::Illegal, loader.Problem()};
    model.CommitLoadBuffer();
    return LoadOutcome{};
}

QByteArray SettingsFileText(const UnitWords &image)
{
    QByteArray text;
    text.reserve(word::Count * 6);
    for (std::uint16_t w : image) {
        text += WordHexText(w).toLatin1();
        text += "\r\n";
    }
    return text;
}

Result<> SaveDataFile(const QString &path, UnitModel &model)
{
    Result<> saved = SaveFileAtomically(path, SettingsFileText(model.UnitImage));
    if (saved)
        model.MarkClean();
    return saved;
}

} // namespace vireo
