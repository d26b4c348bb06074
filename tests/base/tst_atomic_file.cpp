// SPDX-License-Identifier: GPL-3.0-or-later
// The atomic writer: links, modes, refusals that leave the file, a killed save's left-overs.
#include "base/atomic_file.h"
#include "base/regular_file.h"
#include "test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vireo;
using namespace vireo::test;

namespace {

struct stat StatOf(const QByteArray &path)
{
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 ? st : decltype(st){};
}

// Creates path (raw bytes: the name need not be text) holding "old".
bool Plant(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, "old", 3) == 3;
    return ::close(fd) == 0 && written;
}

QStringList Entries(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

class TestAtomicFile : public QObject {
    Q_OBJECT

  private slots:
    void save_data()
    {
        QTest::addColumn<char>("kind"); // n nothing, f file, p FIFO, d folder, a no folder,
                                        // o another user's file, h a file with a second name
        QTest::addColumn<bool>("link"); // reached through a symbolic link
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("name");     // the file's name as the system has it
        QTest::addColumn<QByteArray>("leftover"); // planted beside the file: a killed save's temporary
        QTest::addColumn<QString>("refusal");     // empty: saved
        const QByteArray out("out.st2"), ours(".out.st2.vireo-abc123");
        const QByteArray longName = QString(127, QChar(0xE9)).toUtf8() + 'x'; // 255 bytes
        const QString notRegular = QStringLiteral("not a regular file");
        QTest::newRow("new file") << 'n' << false << 0 << out << ours << QString();
        QTest::newRow("existing 0604 keeps its mode") << 'f' << false << 0604 << out << ours << QString();
        QTest::newRow("link writes the file it names")
            << 'f' << true << 0640 << out << QByteArray(".real.st2.vireo-abc123") << QString();
        QTest::newRow("dangling link creates its file")
            << 'n' << true << 0 << out << QByteArray() << QString();
        QTest::newRow("FIFO refused") << 'p' << false << 0600 << out << QByteArray() << notRegular;
        QTest::newRow("folder refused") << 'd' << false << 0700 << out << QByteArray() << notRegular;
        QTest::newRow("missing folder refused unless it may be made")
            << 'a' << false << 0 << out << QByteArray() << QString::fromLocal8Bit(std::strerror(ENOENT));
        QTest::newRow("another user's file keeps owner and group")
            << 'o' << false << 0640 << out << ours << QString();
        QTest::newRow("hard-linked file refused")
            << 'h' << false << 0644 << out << QByteArray()
            << QStringLiteral("it has other names (hard links) that a save "
                              "would separate from it; save it under another name");
        QTest::newRow("255-byte name, temporary cut between characters")
            << 'f' << false << 0 << longName << '.' + longName.left(240) + ".vireo-abc123" << QString();
        QTest::newRow("name not UTF-8 refused")
            << 'f' << false << 0 << QByteArray("bad\xE9.st2") << QByteArray()
            << QStringLiteral("the name is not valid UTF-8 text; rename the file");
    }
    void save()
    {
        QFETCH(char, kind);
        QFETCH(bool, link);
        QFETCH(int, mode);
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, leftover);
        QFETCH(QString, refusal);
        if (kind == 'o' && ::geteuid() != 0)
            QSKIP("only root can give a file to another user");
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path()) + '/';
        const QByteArray target = folder + (kind == 'a' ? "absent/" : "") + name;
        const QByteArray encoded = link ? folder + "real.st2" : target;
        const QString path = QFile::decodeName(target), real = QFile::decodeName(encoded);
        QVERIFY(!QByteArray("foh").contains(kind) || Plant(encoded));
        QVERIFY(kind != 'o' || ::chown(encoded.constData(), 65534, 65534) == 0);
        QVERIFY(kind != 'h' || ::link(encoded.constData(), (folder + "other.st2").constData()) == 0);
        QVERIFY(kind != 'p' || ::mkfifo(encoded.constData(), 0600) == 0);
        QVERIFY(kind != 'd' || ::mkdir(encoded.constData(), 0700) == 0);
        QVERIFY(!link || QFile::link(QStringLiteral("real.st2"), path));
        QVERIFY(!mode || ::chmod(encoded.constData(), mode_t(mode)) == 0);
        QVERIFY(Plant(folder + ".out.st2.other") && (leftover.isEmpty() || Plant(folder + leftover)));
        const struct stat before = StatOf(encoded);
        const QStringList entries = Entries(dir);

        const Result<> saved = SaveFileAtomically(path, "new\r\n");
        QCOMPARE(saved.ok() ? QString() : saved.error(), refusal);
        QCOMPARE(CheckSaveTarget(path).ok(), refusal.isEmpty());
        QCOMPARE(CheckSaveTarget(path, true).ok(),
                 refusal.isEmpty() || kind == 'a'); // when the folder may be made
        QCOMPARE(QFileInfo(path).isSymLink(), link);
        if (!refusal.isEmpty()) {
            QCOMPARE(Entries(dir), entries);
            QCOMPARE(StatOf(encoded).st_mode, before.st_mode); // still the FIFO or folder it was
            QVERIFY(kind != 'h' || ReadFile(real) + ReadFile(dir.filePath("other.st2")) == "oldold");
            QFile file; // reading refuses all that saving does but a file's other names
            const Result<> opened = OpenRegularFile(file, path);
            QVERIFY(kind == 'h' || (!opened && opened.error() == refusal));
            ::unlink(encoded.constData()); // QTemporaryDir cannot remove a name that is not text
            return;
        }
        QCOMPARE(ReadFile(real), QByteArray("new\r\n"));
        const struct stat after = StatOf(encoded);
        QVERIFY(kind == 'n' || (after.st_mode == before.st_mode && after.st_uid == before.st_uid &&
                                after.st_gid == before.st_gid));
        QVERIFY(QDir(dir.path()).remove(".out.st2.other")); // a foreign file is kept
        const QStringList kept{QFileInfo(path).fileName(), QStringLiteral("real.st2")};
        QCOMPARE(Entries(dir), kept.mid(0, link ? 2 : 1)); // left-overs of this file gone
    }
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomic_file.moc"
