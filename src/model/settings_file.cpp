// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings_file.h"

#include "hex_text.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

SaveResult SaveDataFile(const QString &path, UnitModel &model)
{
    QSaveFile file(path);
    // Unbuffered, so that a refused write (disk full, size limit) fails here with
    // the system's reason, before commit() could put a truncated file in place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, file.errorString()};
    const QByteArray text = SettingsFileText(model.UnitImage);
    if (file.write(text) != text.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return {false, reason};
    }
    if (!file.commit())
        return {false, file.errorString()};
    model.MarkClean();
    return {true, {}};
}

QString SaveTargetProblem(const QString &path, bool folderMayBeMade)
{
    QFileInfo info(path);
    // The file is saved where a symbolic link points.
    if (info.isSymLink())
        info = QFileInfo(info.symLinkTarget());
    QString folder = info.absolutePath();
    if (folderMayBeMade) {
        // The nearest folder that exists is where the missing ones are made.
        while (!QFileInfo::exists(folder)) {
            const QString up = QFileInfo(folder).absolutePath();
            if (up == folder)
                break;
            folder = up;
        }
    }
    const QFileInfo folderInfo(folder);
    if (!folderInfo.isDir())
        return (folderInfo.exists() ? QStringLiteral("not a folder: %1") : QStringLiteral("no such folder: %1"))
            .arg(folder);
    if (!folderInfo.isWritable())
        return QStringLiteral("folder not writable: %1").arg(folder);
    if (info.isDir())
        return QStringLiteral("is a folder");
    if (info.exists() && !info.isWritable())
        return QStringLiteral("file not writable");
    return {};
}

QString JoinPath(const QString &folder, const QString &name)
{
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

} // namespace vireo
