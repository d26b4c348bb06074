// SPDX-License-Identifier: GPL-3.0-or-later
// The document commands without a window: questions, loads, saves, name, caption, recent files.
#include "app/document_commands.h"
#include "model/settings_file.h"
#include "profile/profile_fixture.h"
#include "scripted_dialogs.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace vireo;

namespace {

// A settings file told apart by its unshown first word; secondary code 0001 shows it loaded.
QByteArray Settings(int word0, int lines = word::Count)
{
    QByteArray text = QByteArray::number(word0, 16).rightJustified(4, '0') + "\r\n";
    for (int k = 1; k < lines; ++k)
        text += k == word::SecondaryCode + 1 ? "0001\r\n" : "0000\r\n";
    return text;
}

/** The program with its editor in memory; paths written "@name" lie in a temporary folder. */
struct Program {
    QTemporaryDir dir;
    ProgramState state{ProfileFile{}};
    MemoryEditorControls controls;
    FieldBinding binding{state.model, controls};
    test::ScriptedDialogs dialogs;
    test::FakeMenu menu;
    QStringList captions;
    DocumentCommands commands{
        state, binding, dialogs, menu, Path(QStringLiteral("@VIREO.sts")), [this](const QString &caption) {
            captions << caption;
        }};

    explicit Program(const QString &name)
    {
        binding.FillConfigLists();
        binding.NormalizeAndShow();
        name.isEmpty() ? state.document.SetUntitled() : state.document.SetFileName(Path(name));
    }
    // "@" stands for the temporary folder, "^" for the blank line of a file error box,
    // a final "*" for the system's reason (its words differ from system to system).
    QString Path(QString text) const
    {
        return text.replace(QLatin1Char('@'), dir.path() + QLatin1Char('/'))
            .replace(QLatin1Char('^'), "\r\n\r\n");
    }
    QStringList Paths(QStringList texts) const
    {
        for (QString &text : texts)
            text = Path(text);
        return texts;
    }
    // An edit typed into the primary code, without Enter and without leaving the field.
    void Type() { controls.SetText(TextArray::ConfigText, PrimaryCode, QStringLiteral("12")); }
    // Whether the file holds the typed primary code 0012 (word 7 is 0102).
    bool HoldsEdit(const QString &name) const { return test::ReadFile(Path(name)).mid(7 * 6, 4) == "0102"; }
};

const QStringList Recent{"@gone.st2", "@short.st2", "@a.st2", ""};

/** One command from a document "@cur.st2" (or another), what it shows and leaves behind. */
struct Case {
    const char *what;
    FileCommand command;
    const char *reopen; // the path ReopenRecent is given
    const char *named;  // empty: untitled
    bool typed;         // an edit left in its field, neither entered nor left
    Answer answer;      // to the save question
    const char *choose; // the file dialog's answer; empty: cancel
    int initialLines;   // of the initial file; 0: none
    const char *dialog; // the file dialog shown: kind, start name, start folder
    QStringList shown;
    const char *saved; // the file that must hold the typed edit
    int word0;         // tells which file the image came from
    const char *name;
    QStringList captions;
    QStringList recent;
};

using enum FileCommand;
const QString Ask = QStringLiteral("Save changes to cur.st2?");
const QStringList CurFirst{"@cur.st2", "@gone.st2", "@short.st2", "@a.st2"};
const QStringList AFirst{"@a.st2", "@gone.st2", "@short.st2", ""};

// clang-format off
const Case Cases[] = {
    {"Save on untitled asks with Untitled; site saved as typed", Save, "", "", true, AnswerYes, "@site", 99, "Save|Untitled|",
     {}, "@site", 0, "@site", {"site - Vireo"}, {"@site", "@gone.st2", "@short.st2", "@a.st2"}},
    {"Save on a named document saves in place", Save, "", "@old.st2", true, AnswerYes, "", 99, "",
     {}, "@old.st2", 0, "@old.st2", {"old - Vireo"}, {"@old.st2", "@gone.st2", "@short.st2", "@a.st2"}},
    {"Save As starts from the current name", SaveAs, "", "@old.st2", true, AnswerYes, "@new.st2", 99, "Save|@old.st2|",
     {}, "@new.st2", 0, "@new.st2", {"new - Vireo"}, {"@new.st2", "@gone.st2", "@short.st2", "@a.st2"}},
    {"Save As into a missing folder keeps the name", SaveAs, "", "@old.st2", true, AnswerYes, "@gone/x.st2", 99, "Save|@old.st2|",
     {"Cannot save file.^@gone/x.st2^*"}, "", 0, "@old.st2", {}, Recent},
    {"Open cancelled asks nothing", Open, "", "@cur.st2", true, AnswerYes, "", 99, "Open||",
     {}, "", 0, "@cur.st2", {}, Recent},
    {"Open, Cancel in the question: nothing loaded", Open, "", "@cur.st2", true, AnswerCancel, "@a.st2", 99, "Open||",
     {Ask}, "", 0, "@cur.st2", {}, Recent},
    {"Open, No: loaded, nothing saved", Open, "", "@cur.st2", true, AnswerNo, "@a.st2", 99, "Open||",
     {Ask}, "", 0xA, "@a.st2", {"a - Vireo"}, AFirst},
    {"Open, Yes: the edit saved first", Open, "", "@cur.st2", true, AnswerYes, "@a.st2", 99, "Open||",
     {Ask}, "@cur.st2", 0xA, "@a.st2", {"cur - Vireo", "a - Vireo"}, {"@a.st2", "@cur.st2", "@gone.st2", "@short.st2"}},
    {"Open 98 lines: Illegal data., document kept", Open, "", "@cur.st2", false, AnswerYes, "@short.st2", 99, "Open||",
     {"Illegal data.^@short.st2^The file ends after 98 lines; a settings file has 99."}, "", 0, "@cur.st2", {"cur - Vireo"}, CurFirst},
    {"Reopen entry 3: to the top", ReopenRecent, "@a.st2", "@cur.st2", false, AnswerYes, "", 99, "",
     {}, "", 0xA, "@a.st2", {"a - Vireo"}, AFirst},
    {"Reopen a missing file: entry kept", ReopenRecent, "@gone.st2", "@cur.st2", false, AnswerYes, "", 99, "",
     {"Cannot open file.^@gone.st2^*"}, "", 0, "@cur.st2", {}, Recent},
    {"New loads the initial file untitled", New, "", "@cur.st2", false, AnswerYes, "", 99, "",
     {}, "", 5, "Untitled", {"Untitled - Vireo"}, Recent},
    {"New, illegal initial file: document kept", New, "", "@cur.st2", false, AnswerYes, "", 98, "",
     {"Illegal initial.^@VIREO.sts^The file ends after 98 lines; a settings file has 99."}, "", 0, "@cur.st2", {"cur - Vireo"}, CurFirst},
    {"New, untitled, Yes, Save dialog cancelled", New, "", "", true, AnswerYes, "", 99, "Save|Untitled|",
     {"Save changes to Untitled?"}, "", 0, "Untitled", {}, Recent},
    {"New, untitled, Yes, saved under a new name", New, "", "", true, AnswerYes, "@mine.st2", 99, "Save|Untitled|",
     {"Save changes to Untitled?"}, "@mine.st2", 5, "Untitled", {"mine - Vireo", "Untitled - Vireo"}, {"@mine.st2", "@gone.st2", "@short.st2", "@a.st2"}},
    {"New, Yes, the save fails: abandoned", New, "", "@gone/cur.st2", true, AnswerYes, "", 99, "",
     {"Save changes to cur.st2?", "Cannot save file.^@gone/cur.st2^*"}, "", 0, "@gone/cur.st2", {}, Recent},
};
// clang-format on

} // namespace

class TestDocumentCommands : public QObject {
    Q_OBJECT

  private slots:
    void command_data()
    {
        QTest::addColumn<int>("row");
        for (int row = 0; row < int(std::size(Cases)); ++row)
            QTest::newRow(Cases[row].what) << row;
    }
    void command()
    {
        QFETCH(int, row);
        const Case &c = Cases[row];
        Program p(QString::fromLatin1(c.named));
        QVERIFY(test::WriteFile(p.Path("@a.st2"), Settings(0xA)));
        QVERIFY(test::WriteFile(p.Path("@short.st2"), Settings(0xB, 98)));
        QVERIFY(!c.initialLines || test::WriteFile(p.Path("@VIREO.sts"), Settings(5, c.initialLines)));
        std::ranges::copy(p.Paths(Recent), p.state.options.RecentFiles.begin());
        if (c.typed)
            p.Type();
        p.dialogs.next = c.answer;
        if (*c.choose)
            p.dialogs.files << p.Path(c.choose);

        p.commands.DoFileCommand(c.command, *c.reopen ? p.Path(c.reopen) : QString());
        QCOMPARE(p.dialogs.fileDialogs, *c.dialog ? QStringList{p.Path(c.dialog)} : QStringList());
        const QStringList shown = p.Paths(c.shown);
        QCOMPARE(p.dialogs.texts.size(), shown.size());
        for (qsizetype i = 0; i < shown.size(); ++i)
            QVERIFY2(shown[i].endsWith(u'*') ? p.dialogs.texts[i].startsWith(shown[i].chopped(1)) &&
                                                   p.dialogs.texts[i].size() > shown[i].size() + 2
                                             : p.dialogs.texts[i] == shown[i],
                     qPrintable(p.dialogs.texts[i]));
        QVERIFY(*c.saved ? p.HoldsEdit(c.saved) : !QFile::exists(p.Path(c.named)));
        QCOMPARE(p.state.model.UnitImage[0], std::uint16_t(c.word0));
        QCOMPARE(p.controls.Text(TextArray::ConfigText, SecondaryCode), c.word0 ? "0001" : "0000");
        QCOMPARE(p.state.document.CurrentFileName, p.Path(c.name));
        QCOMPARE(p.captions, c.captions);
        QCOMPARE(QStringList(p.state.options.RecentFiles.begin(), p.state.options.RecentFiles.end()),
                 p.Paths(c.recent));
        // The menu is rebuilt whenever the list changes (its captions: the profile's test).
        QCOMPARE(p.menu.items.at(1).path, c.recent == Recent ? QString() : p.Path(c.recent[0]));
        // A document loaded or saved is clean; one kept as it was keeps its edit.
        QCOMPARE(p.state.document.DataEdited(), c.typed && c.word0 == 0 && !*c.saved);
    }

    // The next file dialog starts where a file was opened, reopened or saved as; not after a failure.
    void startFolder()
    {
        Program p{QString()};
        QVERIFY(QDir().mkpath(p.Path("@q")) && QDir().mkpath(p.Path("@sub")) &&
                QDir().mkpath(p.Path("@other")));
        QVERIFY(test::WriteFile(p.Path("@sub/a.st2"), Settings(0xA)));
        p.Type();
        p.dialogs.next = AnswerYes;
        p.dialogs.files = p.Paths({"@q/first.st2", "@sub/a.st2", "@other/b.st2"});
        p.commands.DoFileCommand(FileCommand::New); // saved from the question; no initial file
        p.commands.DoFileCommand(FileCommand::Open);
        p.commands.DoFileCommand(FileCommand::SaveAs);
        p.commands.DoFileCommand(FileCommand::ReopenRecent, p.Path("@gone/c.st2")); // missing
        p.commands.DoFileCommand(FileCommand::Open);
        p.commands.DoFileCommand(FileCommand::ReopenRecent, p.Path("@sub/a.st2"));
        p.commands.DoFileCommand(FileCommand::Open);
        QCOMPARE(p.dialogs.fileDialogs, p.Paths({"Save|Untitled|", "Open||@q", "Save|@sub/a.st2|@sub",
                                                 "Open||@other", "Open||@sub"}));
    }
};

QTEST_GUILESS_MAIN(TestDocumentCommands)
#include "tst_document_commands.moc"
