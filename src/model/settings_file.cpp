// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings_file.h"

#include "hex_text.h"

#include <QFile>
#include <QFileInfo>

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

QString FileErrorText(FileErrorCode code, const QString &fileName)
{
    return FileErrorMessage(code) + QStringLiteral("\r\n\r\n") + fileName;
}

namespace {

// Longest line content worth keeping: four digits and the CR of a CR LF end.
constexpr qsizetype MaxLine = 5;

// Feeds the file's bytes line by line into the load buffer.
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
                return false; // a line longer than any legal one
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
        return m_count == word::Count;
    }

  private:
    bool EndLine()
    {
        qsizetype length = m_length;
        if (length > 0 && m_line[length - 1] == '\r')
            --length;
        m_length = 0;
        // A carriage return anywhere but at the line's end is no digit: the
        // line is shorter than it looks.
        if (length != 4 || m_count == word::Count || QByteArrayView(m_line, 4).contains('\r'))
            return false;
        m_buffer[m_count++] = LeadingHexValue(QByteArrayView(m_line, 4));
        return true;
    }

    UnitWords &m_buffer;
    char m_line[MaxLine] = {};
    qsizetype m_length = 0;
    int m_count = 0;
};

} // namespace

LoadResult LoadDataFile(const QString &path, UnitModel &model)
{
    QFile file(path);
    if (QFileInfo(path).isDir())
        return {LoadStatus::CannotOpen, QStringLiteral("Is a directory")};
    if (!file.open(QIODevice::ReadOnly))
        return {LoadStatus::CannotOpen, file.errorString()};
    return LoadDataFrom(file, model);
}

LoadResult LoadDataFrom(QIODevice &device, UnitModel &model)
{
    LineLoader loader(model.LoadBuffer);
    char chunk[4096];
    for (;;) {
        const qint64 got = device.read(chunk, sizeof chunk);
        if (got < 0)
            return {LoadStatus::CannotOpen, device.errorString()};
        if (got == 0)
            break;
        if (!loader.Feed(chunk, got))
            return {LoadStatus::Illegal, {}};
    }
    if (!loader.Finish())
        return {LoadStatus::Illegal, {}};
    model.CommitLoadBuffer();
    return {LoadStatus::Loaded, {}};
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

QString JoinPath(const QString &folder, const QString &name)
{
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

} // namespace vireo
