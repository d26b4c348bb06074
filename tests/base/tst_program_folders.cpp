// SPDX-License-Identifier: GPL-3.0-or-later
// The program's folders: where the profile goes, when installed, paths taken apart.
#include "base/file_paths.h"
#include "base/program_folders.h"
#include "test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace vireo;
using namespace vireo::test;

namespace {

QString S(const char *text)
{
    return QString::fromUtf8(text);
}

} // namespace

class TestProgramFolders : public QObject {
    Q_OBJECT
  private slots:
    void profileLocation()
    {
        QTemporaryDir program;
        const QString user = S("/home/u/.config/vireo"), beside = program.filePath(S("VIREO.ini"));
        const ProfileLocation own = ChooseProfileLocation(program.path(), true, user);
        QCOMPARE(std::pair(own.path, own.perUser), std::pair(beside, false));
        const ProfileLocation none = ChooseProfileLocation(program.path(), false, user);
        QCOMPARE(std::pair(none.path, none.perUser), std::pair(user + S("/VIREO.ini"), true));
        QVERIFY(none.readFallback.isEmpty());
        // A file shipped beside the program is read until the user has one.
        QVERIFY(WriteFile(beside, "[OPTION]\nPort=2\n"));
        QCOMPARE(ChooseProfileLocation(program.path(), false, user).readFallback, beside);
        // Installed: the initial file in share/vireo beside bin/, none beside the program.
        QVERIFY(QDir(program.path()).mkpath(S("bin")) && QDir(program.path()).mkpath(S("share/vireo")));
        QVERIFY(WriteFile(program.filePath(S("share/vireo/VIREO.sts")), "0000\r\n"));
        QVERIFY(IsInstalledProgram(program.filePath(S("bin"))) && !IsInstalledProgram(program.path()));
    }

    void splitPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("any");    // FileNameOf | FolderOf, "/" and "\" separating
        QTest::addColumn<QString>("system"); // the same as this system reads the path
        const bool windows = QDir::separator() == u'\\';
        QTest::newRow("bare name") << S("a.st2") << S("a.st2|.") << S("a.st2|.");
        QTest::newRow("root keeps its slash") << S("/a.st2") << S("a.st2|/") << S("a.st2|/");
        QTest::newRow("backslash") << S("x\\a.st2") << S("a.st2|x")
                                   << (windows ? S("a.st2|x") : S("x\\a.st2|."));
        QTest::newRow("drive root") << S("C:\\a.st2") << (windows ? S("a.st2|C:\\") : S("a.st2|C:"))
                                    << (windows ? S("a.st2|C:\\") : S("C:\\a.st2|."));
        QTest::newRow("drive folder")
            << S("C:a.st2") << S("C:a.st2|.") << (windows ? S("a.st2|C:") : S("C:a.st2|."));
    }
    void splitPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, any);
        QFETCH(QString, system);
        QCOMPARE(FileNameOf(path) + u'|' + FolderOf(path), any);
        QCOMPARE(FileNameOf(path, PathSeparators::System) + u'|' + FolderOf(path, PathSeparators::System),
                 system);
    }
};

QTEST_GUILESS_MAIN(TestProgramFolders)
#include "tst_program_folders.moc"
