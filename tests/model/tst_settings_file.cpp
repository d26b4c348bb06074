// SPDX-License-Identifier: GPL-3.0-or-later
// Settings files: which load, which are illegal, and a failed save keeps the old file.
#include "model/settings_file.h"
#include "test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace vireo;
using namespace vireo::test;

namespace {

// count lines 1000, 1001 ..., with line `odd` (if any) replaced by `oddText`.
QByteArray Lines(int count, const QByteArray &end = "\r\n", int odd = -1, const QByteArray &oddText = {})
{
    QByteArray text;
    for (int k = 0; k < count; ++k)
        text += (k == odd ? oddText : QByteArray::number(0x1000 + k, 16).toUpper()) + end;
    return text;
}

UnitWords Pattern()
{
    UnitWords image{};
    for (int k = 0; k < word::Count; ++k)
        image[k] = static_cast<std::uint16_t>(0xA000 + 7 * k);
    return image;
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
        QTest::newRow("99 lines with CR LF") << Lines(99) << true;
        QTest::newRow("last line without CR LF") << Lines(99).chopped(2) << true;
        QTest::newRow("bare LF line ends") << Lines(99, "\n") << true;
        QTest::newRow("lower-case digits") << Lines(99, "\r\n", 10, "100a") << true;
        QTest::newRow("lower-case f") << Lines(99, "\r\n", 15, "100f") << true;
        QTest::newRow("98 lines") << Lines(98) << false;
        QTest::newRow("100 lines") << Lines(100) << false;
        QTest::newRow("empty line among the 99") << Lines(98).insert(6 * 40, "\r\n") << false;
        // Every line that is not four hexadecimal digits, whatever it starts with.
        for (const char *line :
             {"123", "FFFFF", "ABC\r", "ZZZZ", "12G4", " 000", "000 ", "-123", "+123", "0x12"})
            QTest::newRow(line) << Lines(99, "\r\n", 10, line) << false;
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
        QCOMPARE(LoadDataFile(path, model).value(), legal ? LoadStatus::Loaded : LoadStatus::Illegal);
        for (int k = 0; k < word::Count; ++k)
            QCOMPARE(model.UnitImage[k], legal ? std::uint16_t(0x1000 + k) : Pattern()[k]);
        QCOMPARE(model.BaselineImage, Pattern()); // loading never marks the document clean or edited
        QVERIFY(!model.DataEdited);
    }

    // A save failing midway leaves the old file, no temporary, the document edited; then one succeeds.
    void failedWriteKeepsOldFile()
    {
        VIREO_SKIP_ON_WINDOWS("file-size limits");
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
        QVERIFY(SaveDataFile(path, model).ok());
        QVERIFY(!model.DataEdited);
        QCOMPARE(model.BaselineImage, Pattern());
        QByteArray text;
        for (const std::uint16_t w : Pattern())
            text += QByteArray::number(w, 16).toUpper() + "\r\n";
        QCOMPARE(ReadFile(path), text);
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settings_file.moc"
