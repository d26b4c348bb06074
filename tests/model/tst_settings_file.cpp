// SPDX-License-Identifier: GPL-3.0-or-later
// Settings files: which files load, which are illegal, the exact round trip of
// all 99 words, the error texts, and a save that never damages the old file.
#include "model/editor_controls.h"
#include "model/field_binding.h"
#include "model/settings_file.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace vireo;

namespace {

QByteArray Lines(int count, const QByteArray &end = "\r\n")
{
    QByteArray text;
    for (int k = 0; k < count; ++k)
        text += QByteArray::number(0x1000 + k, 16).toUpper() + end;
    return text;
}

UnitWords Pattern()
{
    UnitWords image{};
    for (int k = 0; k < word::Count; ++k)
        image[k] = static_cast<std::uint16_t>(0xA000 + 7 * k);
    return image;
}

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

long MaxResidentKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString Path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void load_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("legal");

        const QByteArray good = Lines(99);
        QByteArray emptyAmong = Lines(98);
        emptyAmong.insert(6 * 40, "\r\n");
        QByteArray threeChars = good;
        threeChars.replace(6 * 10, 6, "123\r\n");
        QByteArray fiveChars = good;
        fiveChars.replace(6 * 10, 6, "FFFFF\r\n");
        QByteArray mixedEnds = good;
        mixedEnds.replace("3\r\n", "3\n"); // every line ending in 3 loses its CR
        QByteArray garbage(64 * 1024, '\0');
        QRandomGenerator random(99);
        for (char &c : garbage)
            c = static_cast<char>(random.bounded(256));

        QTest::newRow("99 lines with CR LF") << good << true;
        QTest::newRow("last line without CR LF") << good.chopped(2) << true;
        QTest::newRow("bare LF line ends") << Lines(99, "\n") << true;
        QTest::newRow("CR LF and LF mixed") << mixedEnds << true;
        QTest::newRow("98 lines") << Lines(98) << false;
        QTest::newRow("100 lines") << Lines(100) << false;
        QTest::newRow("100th line without line end") << good + "0000" << false;
        QTest::newRow("empty line among the 99") << emptyAmong << false;
        QTest::newRow("empty line after the 99") << good + "\r\n" << false;
        QTest::newRow("three-character line") << threeChars << false;
        QTest::newRow("line FFFFF") << fiveChars << false;
        QTest::newRow("line with a trailing blank") << QByteArray("0000 \r\n") + Lines(98) << false;
        QTest::newRow("empty file") << QByteArray() << false;
        QTest::newRow("one endless line") << QByteArray(4 * 1024 * 1024, 'A') << false;
        QTest::newRow("binary garbage") << garbage << false;
    }
    void load()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, legal);
        const QString path = Path(QStringLiteral("load.st2"));
        QVERIFY(WriteFile(path, content));

        UnitModel model;
        model.UnitImage = Pattern();
        model.MarkClean();
        const LoadResult result = LoadDataFile(path, model);
        QCOMPARE(result.status, legal ? LoadStatus::Loaded : LoadStatus::Illegal);
        if (legal) {
            for (int k = 0; k < word::Count; ++k)
                QCOMPARE(model.UnitImage[k], std::uint16_t(0x1000 + k));
        } else {
            QCOMPARE(model.UnitImage, Pattern()); // an illegal file leaves the document as it was
        }
        // The loader never touches the document state.
        QCOMPARE(model.BaselineImage, Pattern());
        QVERIFY(!model.DataEdited);
    }

    void missingFileAndFolderCannotBeOpened()
    {
        UnitModel model;
        model.UnitImage = Pattern();
        QCOMPARE(LoadDataFile(Path(QStringLiteral("absent.st2")), model).status, LoadStatus::CannotOpen);
        QCOMPARE(LoadDataFile(m_dir.path(), model).status, LoadStatus::CannotOpen);
        QCOMPARE(model.UnitImage, Pattern());
    }

    // A file far bigger than any settings file is rejected at its first line:
    // the loader's memory does not grow with the file.
    void hugeFileRejectedWithBoundedMemory()
    {
        const QString path = Path(QStringLiteral("huge.st2"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            const QByteArray chunk(1024 * 1024, 'A');
            for (int mb = 0; mb < 50; ++mb)
                QCOMPARE(file.write(chunk), chunk.size());
        }
        UnitModel model;
        model.UnitImage = Pattern();
        const long before = MaxResidentKb();
        QCOMPARE(LoadDataFile(path, model).status, LoadStatus::Illegal);
        QVERIFY2(MaxResidentKb() - before < 10 * 1024, "the loader grew by the file's size");
        QCOMPARE(model.UnitImage, Pattern());
        QFile::remove(path);
    }

    void lowerCaseDigitsReadAndSavedUpperCase()
    {
        QByteArray content = Lines(99);
        content.replace(6 * 7, 4, "ff0a");
        content.replace(6 * 8, 4, "aBcD");
        const QString path = Path(QStringLiteral("lower.st2"));
        QVERIFY(WriteFile(path, content));
        UnitModel model;
        QCOMPARE(LoadDataFile(path, model).status, LoadStatus::Loaded);
        QCOMPARE(model.UnitImage[7], std::uint16_t(0xFF0A));
        QCOMPARE(model.UnitImage[8], std::uint16_t(0xABCD));

        QVERIFY(SaveDataFile(path, model).ok);
        const QByteArray saved = ReadFile(path);
        QCOMPARE(saved.mid(6 * 7, 6), QByteArray("FF0A\r\n"));
        QCOMPARE(saved.mid(6 * 8, 6), QByteArray("ABCD\r\n"));
    }

    void saveLoadGivesBackEveryWord()
    {
        QRandomGenerator random(7);
        UnitModel model;
        for (auto &w : model.UnitImage)
            w = static_cast<std::uint16_t>(random.bounded(0x10000));
        model.UnitImage[3] = 0x0A05;
        model.DataEdited = true;
        const QString path = Path(QStringLiteral("round.st2"));
        QVERIFY(SaveDataFile(path, model).ok);
        QVERIFY(!model.DataEdited);
        QCOMPARE(model.BaselineImage, model.UnitImage);

        const QByteArray bytes = ReadFile(path);
        QCOMPARE(bytes.size(), 594);
        QCOMPARE(bytes.mid(18, 6), QByteArray("0A05\r\n"));
        UnitModel other;
        QCOMPARE(LoadDataFile(path, other).status, LoadStatus::Loaded);
        QCOMPARE(other.UnitImage, model.UnitImage);
    }

    // The words the editor does not show travel unchanged from a loaded file,
    // through normalisation and edits, to the saved file.
    void carriedWordsSurviveEditsAndSave()
    {
        UnitModel model;
        MemoryEditorControls controls;
        FieldBinding binding(model, controls);
        binding.FillConfig2Lists();
        UnitWords loaded = Pattern();
        for (int k = word::SpeedDialFirst; k < word::SpeedDialFirst + 56; ++k)
            loaded[k] = 0xFFFF;
        const QString in = Path(QStringLiteral("carried-in.st2"));
        QVERIFY(WriteFile(in, SettingsFileText(loaded)));
        QCOMPARE(LoadDataFile(in, model).status, LoadStatus::Loaded);
        binding.NormalizeAndShow();

        controls.SetText(TextArray::Config1, PrimaryCode, QStringLiteral("4321"));
        binding.CommitConfig1(PrimaryCode);
        controls.SetText(TextArray::SpeedDial, 2, QStringLiteral("555"));
        binding.CommitSpeedDial(2);
        controls.SetCheckState(4, 1);
        controls.SetText(TextArray::GroupCode, 9, QStringLiteral("77"));
        binding.ReadAllFields();

        const QString out = Path(QStringLiteral("carried-out.st2"));
        QVERIFY(SaveDataFile(out, model).ok);
        UnitModel reread;
        QCOMPARE(LoadDataFile(out, reread).status, LoadStatus::Loaded);
        for (int carried : word::Carried)
            QCOMPARE(reread.UnitImage[carried], loaded[carried]);
        QCOMPARE(reread.UnitImage[word::PrimaryCode], std::uint16_t(0x0403));
        QCOMPARE(reread.UnitImage[word::SpeedDialFirst + 8 + 3], std::uint16_t(0xF555));
        QCOMPARE(reread.UnitImage[word::MemorySpeedDial], std::uint16_t(1));
        QCOMPARE(reread.UnitImage[word::GroupCodeFirst + 9], std::uint16_t(0x0077));
        QCOMPARE(reread.UnitImage[word::AlwaysZero], std::uint16_t(0));
    }

    void fileErrorText_data()
    {
        QTest::addColumn<FileErrorCode>("code");
        QTest::addColumn<QString>("text");
        const QString tail = QStringLiteral("\r\n\r\nC:\\data\\site.st2");
        QTest::newRow("0 open") << FileErrorCode::CannotOpen << "Cannot open file." + tail;
        QTest::newRow("1 save") << FileErrorCode::CannotSave << "Cannot save file." + tail;
        QTest::newRow("2 illegal") << FileErrorCode::IllegalData << "Illegal data." + tail;
        QTest::newRow("3 open initial") << FileErrorCode::CannotOpenInitial << "Cannot open initial file." + tail;
        QTest::newRow("4 illegal initial") << FileErrorCode::IllegalInitial << "Illegal initial." + tail;
    }
    void fileErrorText()
    {
        QFETCH(FileErrorCode, code);
        QFETCH(QString, text);
        QCOMPARE(FileErrorText(code, QStringLiteral("C:\\data\\site.st2")), text);
    }

    void joinPath_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("path");
        QTest::newRow("drive root gains no second separator") << "C:\\" << "C:\\VIREO.sts";
        QTest::newRow("folder without separator") << "/opt/vireo" << "/opt/vireo/VIREO.sts";
        QTest::newRow("folder with separator") << "/opt/vireo/" << "/opt/vireo/VIREO.sts";
        QTest::newRow("file system root") << "/" << "/VIREO.sts";
    }
    void joinPath()
    {
        QFETCH(QString, folder);
        QFETCH(QString, path);
        QCOMPARE(JoinPath(folder, QString::fromLatin1(InitialFileName)), path);
    }

    void saveIntoRefusingFolderFailsAndKeepsEdited()
    {
        UnitModel model;
        model.UnitImage = Pattern();
        const UnitWords baseline = model.BaselineImage;
        model.DataEdited = true;
        // Folders that refuse a new file even to root.
        for (const QString &path : {QStringLiteral("/proc/vireo-no-such/site.st2"), QStringLiteral("/proc/site.st2"),
                                    Path(QStringLiteral("absent-folder/site.st2"))}) {
            const SaveResult result = SaveDataFile(path, model);
            QVERIFY2(!result.ok, qPrintable(path));
            QVERIFY(!result.reason.isEmpty());
            QVERIFY(model.DataEdited);
            QCOMPARE(model.BaselineImage, baseline);
        }
    }

    // A write that fails midway (the file size limit is hit) leaves the old
    // file byte for byte and no temporary file behind.
    void failedWriteKeepsOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("site.st2"));
        const QByteArray old = SettingsFileText(UnitWords{});
        QVERIFY(WriteFile(path, old));

        UnitModel model;
        model.UnitImage = Pattern();
        model.DataEdited = true;

        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 100;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const SaveResult result = SaveDataFile(path, model);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!result.ok);
        QVERIFY(model.DataEdited);
        QCOMPARE(ReadFile(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("site.st2")});

        // With room again the same save replaces the file and marks the document clean.
        QVERIFY(SaveDataFile(path, model).ok);
        QVERIFY(!model.DataEdited);
        QCOMPARE(ReadFile(path), SettingsFileText(Pattern()));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settings_file.moc"
