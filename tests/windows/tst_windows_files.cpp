// SPDX-License-Identifier: GPL-3.0-or-later
// Files on Windows: device names, refused saves that keep the old file, attributes kept.
#include "base/atomic_file.h"
#include "base/regular_file.h"
#include "test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace vireo;
using namespace vireo::test;

class TestWindowsFiles : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString Path(const QString &name) const { return m_dir.filePath(name); }
    static std::wstring Native(const QString &path) { return QDir::toNativeSeparators(path).toStdWString(); }
    QStringList Entries() const
    {
        return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }

  private slots:
    void deviceNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("device");
        QTest::newRow("NUL") << "NUL" << true;
        QTest::newRow("mixed case, two extensions") << "Aux.tar.gz" << true;
        QTest::newRow("COM9, no extension") << "com9" << true;
        QTest::newRow("LPT9 behind a backslash") << "sub\\Lpt9.st2" << true;
        QTest::newRow("COM10 is a file") << "COM10.st2" << false;
        QTest::newRow("LPT0 is a file") << "LPT0.st2" << false;
        QTest::newRow("a longer name") << "console.st2" << false;
        QTest::newRow("a device in a name") << "my-nul.st2" << false;
    }
    // A device is neither saved to nor opened; any other name is a file.
    void deviceNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, device);
        const QByteArray bytes = ReadFile(ShippedFile);
        const Result<> saved = SaveFileAtomically(Path(name), bytes);
        QFile file;
        const Result<> opened = OpenRegularFile(file, Path(name));
        if (device) {
            QCOMPARE(saved.error(), QStringLiteral("not a regular file"));
            QCOMPARE(opened.error(), QStringLiteral("not a regular file"));
            QVERIFY(!CheckSaveTarget(Path(name)));
            QCOMPARE(Entries(), QStringList());
        } else {
            QVERIFY(saved && opened);
            QCOMPARE(file.readAll(), bytes);
            file.close();
            QVERIFY(QFile::remove(Path(name)));
        }
    }

    void refused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason"); // empty: the system's own
        // clang-format off
        QTest::newRow("read-only") << "read-only" << "file not writable";
        QTest::newRow("a hard link") << "link" << "other names";
        QTest::newRow("held open by another program") << "held" << "";
        // clang-format on
    }
    // The old file stays as it was, with no temporary beside it.
    void refused()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QString path = Path("site.st2"), other = Path("other.st2");
        QVERIFY(WriteFile(path, "old"));
        QFile holder(path); // Qt opens without sharing deletion, as many programs do
        QVERIFY(kind != "held" || holder.open(QIODevice::ReadOnly));
        QVERIFY(kind != "link" || CreateHardLinkW(Native(other).c_str(), Native(path).c_str(), nullptr));
        QVERIFY(kind != "read-only" || SetFileAttributesW(Native(path).c_str(), FILE_ATTRIBUTE_READONLY));
        const QStringList before = Entries();
        const Result<> saved = SaveFileAtomically(path, "new");
        QVERIFY(!saved && saved.error().contains(reason) && !saved.error().isEmpty());
        QCOMPARE(ReadFile(path), QByteArray("old"));
        QCOMPARE(Entries(), before);
        holder.close();
        SetFileAttributesW(Native(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        QVERIFY(QFile::remove(path) && (kind != "link" || QFile::remove(other)));
    }

    // A hidden file stays hidden; a temporary a killed save left goes.
    void attributesKept()
    {
        const QString path = Path("hidden.st2");
        QVERIFY(WriteFile(path, "old") && WriteFile(Path(".hidden.st2.vireo-Ab12Cd"), "left"));
        QVERIFY(SetFileAttributesW(Native(path).c_str(), FILE_ATTRIBUTE_HIDDEN));
        QVERIFY(SaveFileAtomically(path, "new"));
        QCOMPARE(ReadFile(path), QByteArray("new"));
        QVERIFY(GetFileAttributesW(Native(path).c_str()) & FILE_ATTRIBUTE_HIDDEN);
        QCOMPARE(Entries(), QStringList{"hidden.st2"});
    }
};

QTEST_GUILESS_MAIN(TestWindowsFiles)
#include "tst_windows_files.moc"
