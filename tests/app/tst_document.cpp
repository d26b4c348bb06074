// SPDX-License-Identifier: GPL-3.0-or-later
// Document state: the caption and the save prompt for each kind of file name,
// the clean and edited states, and the prompts through scripted dialogs.
#include "app/document.h"
#include "scripted_dialogs.h"

#include <QTest>

using namespace vireo;
using namespace vireo::test;

Q_DECLARE_METATYPE(vireo::PromptKind)
Q_DECLARE_METATYPE(vireo::Buttons)
Q_DECLARE_METATYPE(vireo::Answer)

class TestDocument : public QObject {
    Q_OBJECT

  private slots:
    void captionAndSavePrompt_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("prompt");
        QTest::newRow("folder and both dots removed") << "C:\\x\\my.data.st2"
                                                      << "my - Vireo"
                                                      << "Save changes to my.data.st2?";
        QTest::newRow("name starting with a dot kept whole") << "/home/u/.hidden.st2"
                                                             << ".hidden.st2 - Vireo"
                                                             << "Save changes to .hidden.st2?";
        QTest::newRow("name without extension") << "/home/u/site"
                                                << "site - Vireo"
                                                << "Save changes to site?";
        QTest::newRow("path ending in a separator") << "C:\\data\\"
                                                    << " - Vireo"
                                                    << "Save changes to ?";
    }
    void captionAndSavePrompt()
    {
        QFETCH(QString, path);
        QFETCH(QString, caption);
        QFETCH(QString, prompt);
        UnitModel model;
        Document document(model);
        document.SetFileName(path);
        QCOMPARE(document.UpdateCaption(), caption);
        QCOMPARE(document.PromptText(PromptKind::SaveChanges), prompt);
    }

    void fileNameAndUntitledMarkClean()
    {
        UnitModel model;
        Document document(model);
        QCOMPARE(document.UpdateCaption(), QStringLiteral("Untitled - Vireo"));
        QVERIFY(!document.HasFileName);
        model.UnitImage[30] = 0x0042;
        document.CheckEdited();
        QVERIFY(document.DataEdited());

        document.SetFileName(QStringLiteral("/data/site.st2"));
        QVERIFY(document.HasFileName);
        QVERIFY(!document.DataEdited());
        model.UnitImage[30] = 0x0043;
        document.CheckEdited();
        model.UnitImage[30] = 0x0042; // restored by hand: still edited
        document.CheckEdited();
        QVERIFY(document.DataEdited());

        document.SetUntitled();
        QVERIFY(!document.HasFileName);
        QVERIFY(!document.DataEdited());
        QCOMPARE(document.UpdateCaption(), QStringLiteral("Untitled - Vireo"));
        QCOMPARE(document.PromptText(PromptKind::SaveChanges), QStringLiteral("Save changes to Untitled?"));
    }

    void confirmPrompt_data()
    {
        QTest::addColumn<PromptKind>("kind");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Buttons>("buttons");
        QTest::newRow("save changes, No")
            << PromptKind::SaveChanges << AnswerNo << "Save changes to site.st2?" << Buttons::YesNoCancel;
        QTest::newRow("clone write, OK")
            << PromptKind::CloneWrite << AnswerOk << "Write to transceiver." << Buttons::OkCancel;
        QTest::newRow("clone read over edits, Cancel")
            << PromptKind::CloneReadEdited << AnswerCancel << "Read from transceiver,Data has been edited."
            << Buttons::OkCancel;
    }
    void confirmPrompt()
    {
        QFETCH(PromptKind, kind);
        QFETCH(Answer, answer);
        QFETCH(QString, text);
        QFETCH(Buttons, buttons);
        UnitModel model;
        Document document(model);
        document.SetFileName(QStringLiteral("C:\\data\\site.st2"));
        ScriptedDialogs dialogs;
        dialogs.next = answer;
        QCOMPARE(document.ConfirmPrompt(kind, dialogs), answer);
        QCOMPARE(dialogs.texts, QStringList{text});
        QCOMPARE(dialogs.buttons, QList<Buttons>{buttons});
    }
};

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
