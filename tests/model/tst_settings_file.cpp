// SPDX-License-Identifier: GPL-3.0-or-later
// Settings files: which files load, which are illegal, the exact round trip of
// all 99 words, the error texts, and a save that never damages the old file.
#include "model/editor_controls.h"
#include "model/field_binding.h"
#include "model/settings_file.h"
#include "test_files.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace vireo;
using namespace vireo::test;

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

long MaxResidentKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString Path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

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
        QByteArray garbage(64 * 1024, '\0');
        QRandomGenerator random(99);
        for (char &c : garbage)
            c = static_cast<char>(random.bounded(256));

        QTest::newRow("99 lines with CR LF") << good << true;
        QTest::newRow("last line without CR LF") << good.chopped(2) << true;
        QTest::newRow("bare LF line ends") << Lines(99, "\n") << true;
        QTest::newRow("98 lines") << Lines(98) << false;
        QTest::newRow("100 lines") << Lines(100) << false;
        QTest::newRow("empty line among the 99") << emptyAmong << false;
        QTest::newRow("three-character line") << threeChars << false;
        QTest::newRow("line FFFFF") << fiveChars << false;
        QByteArray fiveCharsLf = Lines(99, "\n");
        fiveCharsLf.replace(5 * 10, 5, "FFFFF\n");
        QTest::newRow("line FFFFF with a bare LF") << fiveCharsLf << false;
        QByteArray strayCr = good;
        strayCr.replace(6 * 10, 6, "ABC\r\r\n");
        QTest::newRow("three characters and a stray CR") << strayCr << false;
        QTest::newRow("empty file") << QByteArray() << false;
        QTest::newRow("binary garbage") << garbage << false;
    }
    void load()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, legal);
        const QString path = Path("load.st2");
        QVERIFY(WriteFile(path, content));
        UnitModel model;
        model.UnitImage = Pattern();
        model.MarkClean();
        QCOMPARE(LoadDataFile(path, model).status, legal ? LoadStatus::Loaded : LoadStatus::Illegal);
        if (legal) {
            for (int k = 0; k < word::Count; ++k)
                QCOMPARE(model.UnitImage[k], std::uint16_t(0x1000 + k));
        } else {
            QCOMPARE(model.UnitImage, Pattern()); // an illegal file leaves the document as it was
        }
        QCOMPARE(model.BaselineImage, Pattern()); // loading never marks the document clean or edited
        QVERIFY(!model.DataEdited);
    }

    void missingFileAndFolderCannotBeOpened()
    {
        UnitModel model;
        model.UnitImage = Pattern();
        QCOMPARE(LoadDataFile(Path("absent.st2"), model).status, LoadStatus::CannotOpen);
        QCOMPARE(LoadDataFile(m_dir.path(), model).status, LoadStatus::CannotOpen);
        QCOMPARE(model.UnitImage, Pattern());
    }

    // A file far bigger than any settings file is rejected at its first line:
    // the loader's memory does not grow with the file.
    void hugeFileRejectedWithBoundedMemory()
    {
        const QString path = Path("huge.st2");
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
        const QString path = Path("lower.st2");
        QVERIFY(WriteFile(path, content));
        UnitModel model;
        QCOMPARE(LoadDataFile(path, model).status, LoadStatus::Loaded);
        QCOMPARE(model.UnitImage[7], std::uint16_t(0xFF0A));
        QVERIFY(SaveDataFile(path, model).ok());
        QCOMPARE(ReadFile(path).mid(6 * 7, 6), QByteArray("FF0A\r\n"));
    }

    // Every word travels exactly from a loaded file, through normalisation and
    // edits, to the saved file; the words the editor does not show unchanged.
    void wordsSurviveEditsAndSave()
    {
        UnitModel model;
        MemoryEditorControls controls;
        FieldBinding binding(model, controls);
        binding.FillConfig2Lists();
        UnitWords loaded = Pattern();
        for (int k = word::SpeedDialFirst; k < word::SpeedDialFirst + 56; ++k)
            loaded[k] = 0xFFFF;
        const QString in = Path("carried-in.st2");
        QVERIFY(WriteFile(in, SettingsFileText(loaded)));
        QCOMPARE(LoadDataFile(in, model).status, LoadStatus::Loaded);
        QCOMPARE(model.UnitImage, loaded);
        binding.NormalizeAndShow();

        controls.SetText(TextArray::Config1, PrimaryCode, QStringLiteral("4321"));
        binding.CommitConfig1(PrimaryCode);
        controls.SetText(TextArray::SpeedDial, 2, QStringLiteral("555"));
        binding.CommitSpeedDial(2);
        controls.SetCheckState(4, 1);
        controls.SetText(TextArray::GroupCode, 9, QStringLiteral("77"));
        binding.ReadAllFields();

        const QString out = Path("carried-out.st2");
        model.DataEdited = true;
        QVERIFY(SaveDataFile(out, model).ok());
        QVERIFY(!model.DataEdited);
        QCOMPARE(model.BaselineImage, model.UnitImage);
        const QByteArray bytes = ReadFile(out);
        QCOMPARE(bytes.size(), 594);
        QCOMPARE(bytes.mid(6 * word::PrimaryCode, 6), QByteArray("0403\r\n"));
        UnitModel reread;
        QCOMPARE(LoadDataFile(out, reread).status, LoadStatus::Loaded);
        QCOMPARE(reread.UnitImage, model.UnitImage);
        for (int carried : word::Carried)
            QCOMPARE(reread.UnitImage[carried], loaded[carried]);
        QCOMPARE(reread.UnitImage[word::AlwaysZero], std::uint16_t(0));
    }

    void fileErrorText_data()
    {
        QTest::addColumn<FileErrorCode>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("0 open") << FileErrorCode::CannotOpen << "Cannot open file.";
        QTest::newRow("1 save") << FileErrorCode::CannotSave << "Cannot save file.";
        QTest::newRow("2 illegal") << FileErrorCode::IllegalData << "Illegal data.";
        QTest::newRow("3 open initial") << FileErrorCode::CannotOpenInitial << "Cannot open initial file.";
        QTest::newRow("4 illegal initial") << FileErrorCode::IllegalInitial << "Illegal initial.";
    }
    void fileErrorText()
    {
        QFETCH(FileErrorCode, code);
        QFETCH(QString, text);
        QCOMPARE(FileErrorText(code, QStringLiteral("C:\\data\\site.st2")),
                 text + "\r\n\r\nC:\\data\\site.st2");
    }

    // A write that fails midway leaves the old file byte for byte and no
    // temporary file behind.
    void failedWriteKeepsOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("site.st2"));
        const QByteArray old = SettingsFileText(UnitWords{});
        QVERIFY(WriteFile(path, old));
        UnitModel model;
        model.UnitImage = Pattern();
        model.DataEdited = true;
        {
            FileSizeLimit limit(100);
            QVERIFY(limit.Active());
            QVERIFY(!SaveDataFile(path, model).ok());
        }
        QVERIFY(model.DataEdited);
        QCOMPARE(ReadFile(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("site.st2")});

        // With room again the same save replaces the file and marks the document clean.
        QVERIFY(SaveDataFile(path, model).ok());
        QVERIFY(!model.DataEdited);
        QCOMPARE(ReadFile(path), SettingsFileText(Pattern()));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settings_file.moc"
