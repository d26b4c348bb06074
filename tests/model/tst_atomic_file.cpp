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

mode_t ModeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

} // namespace

class TestAtomicFile : public QObject {
    Q_OBJECT

  private slots:
    void save_data()
    {
        QTest::addColumn<char>("kind"); // what is there: n nothing, f file, p FIFO, d folder, a no folder
        QTest::addColumn<bool>("link"); // reached through a symbolic link
        QTest::addColumn<int>("mode");
        QTest::newRow("new file") << 'n' << false << 0;
        QTest::newRow("existing 0444 keeps its mode") << 'f' << false << 0444;
        QTest::newRow("existing 0751 keeps its mode") << 'f' << false << 0751;
        QTest::newRow("link writes the file it names") << 'f' << true << 0640;
        QTest::newRow("dangling link creates its file") << 'n' << true << 0;
        QTest::newRow("FIFO refused") << 'p' << false << 0600;
        QTest::newRow("FIFO behind a link refused") << 'p' << true << 0600;
        QTest::newRow("folder refused") << 'd' << false << 0700;
        QTest::newRow("missing folder refused unless it may be made") << 'a' << false << 0;
    }
    void save()
    {
        QFETCH(char, kind);
        QFETCH(bool, link);
        QFETCH(int, mode);
        QTemporaryDir dir;
        const QString path =
            dir.filePath(kind == 'a' ? QStringLiteral("absent/out.st2") : QStringLiteral("out.st2"));
        const QString real = link ? dir.filePath(QStringLiteral("real.st2")) : path;
        const QByteArray encoded = QFile::encodeName(real);
        QVERIFY(kind != 'f' || WriteFile(real, "old"));
        QVERIFY(kind != 'p' || ::mkfifo(encoded.constData(), 0600) == 0);
        QVERIFY(kind != 'd' || ::mkdir(encoded.constData(), 0700) == 0);
        QVERIFY(!link || QFile::link(QStringLiteral("real.st2"), path));
        QVERIFY(!mode || ::chmod(encoded.constData(), mode_t(mode)) == 0);
        const mode_t before = ModeOf(real);

        const bool regular = kind == 'n' || kind == 'f';
        const Result<> saved = SaveFileAtomically(path, "new\r\n");
        QCOMPARE(saved.ok(), regular);
        QCOMPARE(CheckSaveTarget(path).ok(), regular);
        QCOMPARE(CheckSaveTarget(path, true).ok(), regular || kind == 'a'); // when the folder may be made
        QCOMPARE(QFileInfo(path).isSymLink(), link);
        if (!regular) {
            QCOMPARE(saved.error() == QStringLiteral("not a regular file"), kind != 'a');
            QCOMPARE(ModeOf(real), before); // still the FIFO or folder it was
            return;
        }
        QCOMPARE(ReadFile(real), QByteArray("new\r\n"));
        QVERIFY(!mode || ModeOf(real) == before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), link ? 2 : 1);
    }
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomic_file.moc"
