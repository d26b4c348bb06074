// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up without a window: the initial file, the access code, the single-instance lock.
#include "app/program_state.h"
#include "app/scripted_dialogs.h"
#include "app/single_instance.h"
#include "test_files.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace vireo;

// A start's outcome in words a failed comparison shows: "first", "running" or the reason.
static QString Outcome(SingleInstance &instance)
{
    const Result<InstanceState> state = instance.Acquire();
    return !state ? state.error() : QString(*state == InstanceState::First ? "first" : "running");
}

class TestStartUp : public QObject {
    Q_OBJECT
  private slots:
    void initialFile_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<QString>("message"); // shown above the file's path
        QTest::addColumn<QString>("reason");  // shown below it; "?" the system's words
        QTest::addColumn<int>("word0");
        QTest::newRow("missing: message, then the end")
            << QByteArray() << false << "Cannot open initial file."
            << "?" << 0;
        QTest::newRow("98 lines: illegal, all zero")
            << QByteArray("1234\r\n").repeated(98) << true << "Illegal initial."
            << "The file ends after 98 lines; a settings file has 99." << 0;
        QTest::newRow("99 good lines: loaded, no message")
            << QByteArray("00AB\r\n").repeated(99) << true << QString() << QString() << 0xAB;
    }
    void initialFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, goesOn);
        QFETCH(QString, message);
        QFETCH(QString, reason);
        QFETCH(int, word0);
        QTemporaryDir dir;
        const QString initial = dir.filePath(QStringLiteral("VIREO.sts"));
        if (!content.isNull())
            QVERIFY(test::WriteFile(initial, content));
        ProfileFile profile;
        profile.SetFullPath(dir.filePath(QStringLiteral("VIREO.ini")));
        ProgramState state(profile);
        state.accessCode = state.options.ComPortNumber = 3; // both set anew by start-up
        test::ScriptedDialogs dialogs;

        QCOMPARE(StartUp(state, initial, dialogs), goesOn);
        QCOMPARE(dialogs.texts.size(), message.isEmpty() ? 0 : 1);
        const QString text = message + "\r\n\r\n" + initial + "\r\n\r\n";
        if (!message.isEmpty())
            QVERIFY(reason == "?" ? dialogs.texts[0].startsWith(text) && dialogs.texts[0].size() > text.size()
                                  : dialogs.texts[0] == text + reason);
        QCOMPARE(state.options.ComPortNumber, qint16(1));
        if (!goesOn)
            return;
        QCOMPARE(state.model.UnitImage[0], std::uint16_t(word0));
        QCOMPARE(state.accessCode, 58206);
        QVERIFY(!state.document.HasFileName && !state.document.DataEdited());
    }

    void singleInstance_data()
    {
        QTest::addColumn<QString>("plant");   // shell words run in the lock's folder
        QTest::addColumn<QString>("outcome"); // "running": then "first" once its holder is killed
        const auto row = [](const char *name, const char *plant, const QString &outcome) {
            QTest::newRow(name) << QString::fromLatin1(plant) << outcome;
        };
        row("held, then killed", "exec 9>>vireo.lock && flock -n 9 && echo held && exec sleep 30", "running");
        row("a dead pid", "printf '99999999\\nvireo\\n%s\\n' $(uname -n) >vireo.lock", "first");
        const QString notRegular = "%1 is not a regular file. Remove it, then start Vireo again.";
        row("FIFO", "mkfifo vireo.lock", notRegular);
        row("link", "ln -s elsewhere vireo.lock",
            "%1 is a symbolic link. Remove it, then start Vireo again.");
    }
    // Only a live holder keeps a start out, whatever the file holds; what cannot be a lock is said.
    void singleInstance()
    {
        QFETCH(QString, plant);
        QFETCH(QString, outcome);
        QTemporaryDir dir;
        const QString path = dir.filePath("vireo.lock");
        QProcess planter;
        planter.setWorkingDirectory(dir.path());
        planter.start("sh", {"-c", plant});
        QVERIFY(outcome == "running" ? planter.waitForReadyRead() : planter.waitForFinished());
        auto second = std::make_unique<SingleInstance>(path);
        QCOMPARE(Outcome(*second), QString(outcome).replace("%1", path));
        if (outcome == "running") {
            planter.kill(); // SIGKILL: the holder has no chance to let go itself
            QVERIFY(planter.waitForFinished());
            QCOMPARE(Outcome(*second), "first");
        }
    }

    // The lock's folder is the user's own: the runtime folder if so, else the cache's "vireo".
    void lockFolder()
    {
        for (const bool own : {false, true}) {
            QTemporaryDir dir;
            const QString runtime = dir.filePath("run"), folder = own ? runtime : dir.filePath("c/vireo");
            const auto mode = QFile::Permissions(own ? 0x7700 : 0x7777); // Qt's permission bits
            QVERIFY(QDir().mkdir(runtime) && QFile::setPermissions(runtime, mode));
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
            qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath("c")));
            const Result<QString> path = InstanceLockPath();
            QCOMPARE(path ? *path : path.error(), folder + "/vireo.lock");
            QCOMPARE(int(QFile::permissions(folder) & 0x7077), 0x7000); // the owner's alone
        }
    }
};

QTEST_GUILESS_MAIN(TestStartUp)
#include "tst_start_up.moc"
