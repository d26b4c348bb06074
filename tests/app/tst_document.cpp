// SPDX-License-Identifier: GPL-3.0-or-later
// Document state: caption and save prompt per file name, edited state, confirmations.
#include "app/document.h"
#include "scripted_dialogs.h"

#include <QTest>

using namespace vireo;
using namespace vireo::test;

class TestDocument : public QObject {
    Q_OBJECT

  private slots:
    void captionAndSavePrompt_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        // clang-format off
        QTest::newRow("folder and both dots removed") << "C:\\x\\my.data.st2" << "my.data.st2" << "my";
        QTest::newRow("name starting with a dot kept whole") << "/u/.hidden.st2" << ".hidden.st2" << ".hidden.st2";
        // clang-format on
    }
    void captionAndSavePrompt()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        UnitModel model;
        Document document(model);
        model.UnitImage[30] = 0x0042;
        document.CheckEdited();
        model.UnitImage[30] = 0; // restored by hand: still edited
        document.CheckEdited();
        QVERIFY(document.DataEdited());
        document.SetFileName(path);
        QVERIFY(document.HasFileName);
        QVERIFY(!document.DataEdited()); // a new name is the saved state
        QCOMPARE(document.UpdateCaption(), caption + " - Vireo");
        QCOMPARE(document.PromptText(PromptKind::SaveChanges), "Save changes to " + name + "?");
    }

    // Each confirmation shows its text with its buttons and returns the answer.
    void confirmPrompt()
    {
        UnitModel model;
        Document document(model);
        document.SetFileName(QStringLiteral("C:\\data\\site.st2"));
        ScriptedDialogs dialogs;
        const std::pair<PromptKind, Answer> asked[] = {{PromptKind::SaveChanges, AnswerNo},
                                                       {PromptKind::CloneWrite, AnswerOk},
                                                       {PromptKind::CloneReadEdited, AnswerCancel}};
        for (const auto &[kind, answer] : asked) {
            dialogs.next = answer;
            QCOMPARE(document.ConfirmPrompt(kind, dialogs), answer);
        }
        QCOMPARE(dialogs.texts, QStringList({"Save changes to site.st2?", "Write to transceiver.",
                                             "Read from transceiver,Data has been edited."}));
        QCOMPARE(dialogs.buttons,
                 QList<Buttons>({Buttons::YesNoCancel, Buttons::OkCancel, Buttons::OkCancel}));
    }
};

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
