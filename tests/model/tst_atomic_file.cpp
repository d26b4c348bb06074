// SPDX-License-Identifier: GPL-3.0-or-later
// The atomic writer: what it writes through links and over existing files,
// what it refuses and leaves untouched, and what the pre-check says.
#include "model/atomic_file.h"
#include "test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace vireo;
using namespace vireo::test;

namespace {

enum class Target { Missing, File, Link, DanglingLink, Fifo, Folder };

mode_t ModeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

} // namespace

Q_DECLARE_METATYPE(Target)

class TestAtomicFile : public QObject {
    Q_OBJECT

  private slots:
    void save_data()
    {
        QTest::addColumn<Target>("target");
        QTest::addColumn<int>("mode");
        QTest::newRow("new file") << Target::Missing << 0;
        QTest::newRow("existing 0600 keeps its mode") << Target::File << 0600;
        QTest::newRow("existing 0444 keeps its mode") << Target::File << 0444;
        QTest::newRow("existing 0751 keeps its mode") << Target::File << 0751;
        QTest::newRow("link writes the file it names") << Target::Link << 0640;
        QTest::newRow("dangling link creates its file") << Target::DanglingLink << 0;
        QTest::newRow("FIFO refused") << Target::Fifo << 0600;
        QTest::newRow("folder refused") << Target::Folder << 0700;
    }
    void save()
    {
        QFETCH(Target, target);
        QFETCH(int, mode);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.st2"));
        const QString real = dir.filePath(QStringLiteral("real.st2"));
        const QByteArray encoded = QFile::encodeName(path);
        switch (target) {
        case Target::Missing:
            break;
        case Target::File:
            QVERIFY(WriteFile(path, "old"));
            break;
        case Target::Link:
            QVERIFY(WriteFile(real, "old"));
            QVERIFY(QFile::link(QStringLiteral("real.st2"), path));
            break;
        case Target::DanglingLink:
            QVERIFY(QFile::link(QStringLiteral("real.st2"), path));
            break;
        case Target::Fifo:
            QCOMPARE(::mkfifo(encoded.constData(), 0600), 0);
            break;
        case Target::Folder:
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("out.st2")));
            break;
        }
        const bool link = target == Target::Link || target == Target::DanglingLink;
        const QString written = link ? real : path;
        if (mode)
            QCOMPARE(::chmod(QFile::encodeName(written).constData(), mode_t(mode)), 0);
        const mode_t before = ModeOf(written);

        const bool regular = target != Target::Fifo && target != Target::Folder;
        const Result<> saved = SaveFileAtomically(path, "new\r\n");
        QCOMPARE(saved.ok(), regular);
        QCOMPARE(CheckSaveTarget(path).ok(), regular);
        if (!regular) {
            QCOMPARE(saved.error(), QStringLiteral("not a regular file"));
            QCOMPARE(ModeOf(path), before); // still the FIFO or folder it was
            return;
        }
        QCOMPARE(ReadFile(written), QByteArray("new\r\n"));
        QCOMPARE(QFileInfo(path).isSymLink(), link);
        if (mode)
            QCOMPARE(ModeOf(written), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), link ? 2 : 1);
    }

    void systemReasonWhenFolderMissing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("absent/out.st2"));
        const Result<> saved = SaveFileAtomically(path, "x");
        QVERIFY(!saved.ok());
        QVERIFY(!saved.error().isEmpty());
        QVERIFY(!CheckSaveTarget(path).ok());
        QVERIFY(CheckSaveTarget(path, true).ok());
    }
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomic_file.moc"
