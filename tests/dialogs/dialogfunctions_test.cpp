// The dialog functions as windows see them through the test responder, the input box, the ready-made
// forms, and the responder's own bookkeeping.

#include "dialogs/dialogresponder.h"
#include "dialogs/inputbox.h"
#include "dialogs/kavdialog.h"
#include "dialogs/kavmsgdlg.h"
#include "dialogs/kavtools.h"
#include "dialogs/msgeditor.h"
#include "dialogs/readymadeforms.h"
#include "modaldriver.h"
#include "platform/dataset/clientdataset.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>
#include <memory>

using namespace kav;

namespace {

using ShowFunction = int (*)(const std::string&, const std::string&);

QStringList Captions(const DialogRecord& record) {
    QStringList captions;
    for (const DialogButton& b : record.buttons)
        captions << QString::fromStdString(b.caption);
    return captions;
}

std::unique_ptr<TUIMsgForm> MakeForm(const QString& className) {
    if (className == "TUIPromptMsg") return std::make_unique<TUIPromptMsg>();
    if (className == "TUIWarningMsg") return std::make_unique<TUIWarningMsg>();
    if (className == "TUIErrorMsg") return std::make_unique<TUIErrorMsg>();
    if (className == "TUIConfirmMsg") return std::make_unique<TUIConfirmMsg>();
    return std::make_unique<TUIYesNoCancelMsg>();
}

} // namespace

Q_DECLARE_METATYPE(ShowFunction)

class DialogFunctionsTest : public QObject {
    Q_OBJECT

private slots:
    void functionsShowTheirTypeCaptionAndButtons_data() {
        QTest::addColumn<ShowFunction>("show");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<int>("enter");
        QTest::addColumn<int>("esc");

        QTest::newRow("warning") << &ShowWarningMessage << "warning"
                                 << "警告" << QStringList{"确定"} << 1 << 1;
        QTest::newRow("error") << &ShowErrorMessage << "error"
                               << "错误信息" << QStringList{"确定"} << 1 << 1;
        QTest::newRow("prompt") << &ShowPromptMessage << "information"
                                << "操作提示" << QStringList{"确定"} << 1 << 1;
        QTest::newRow("confirm") << &ShowConfirmMessage << "confirmation"
                                 << "请确认" << QStringList{"是(&Y)", "否(&N)"} << 6 << 7;
        QTest::newRow("yes/no/cancel") << &ShowYesNoCancelMessage << "confirmation"
                                       << "请确认" << QStringList{"是(&Y)", "否(&N)", "取消"} << 6 << 2;
    }

    void functionsShowTheirTypeCaptionAndButtons() {
        QFETCH(ShowFunction, show);
        QFETCH(QString, type);
        QFETCH(QString, caption);
        QFETCH(QStringList, buttons);
        QFETCH(int, enter);
        QFETCH(int, esc);

        ScriptedDialogResponder dialogs;
        dialogs.Push(enter).Push(esc);
        QCOMPARE(show("第一条", "第二个参数"), enter);
        QCOMPARE(show("第二条", "第二个参数"), esc);
        QVERIFY(dialogs.Problems().empty());
        QCOMPARE(dialogs.Log().size(), std::size_t(2));
        const DialogRecord& first = dialogs.Log()[0];
        QCOMPARE(QString::fromStdString(first.type), type);
        QCOMPARE(QString::fromStdString(first.caption), caption);
        QCOMPARE(first.text, std::string("第一条"));
        QCOMPARE(Captions(first), buttons);
        QCOMPARE(first.defaultResult, std::optional<int>(enter));
        QCOMPARE(first.escapeResult, std::optional<int>(esc));
        QVERIFY(!first.checkBox && !first.timeOutResult && !first.modeless);
        QVERIFY(first.ToString().find("第二个参数") == std::string::npos);
    }

    void responderNotesUnscriptedAndImpossibleAnswers() {
        ScriptedDialogResponder outer;
        {
            ScriptedDialogResponder dialogs;
            dialogs.Push(mrYes);
            QCOMPARE(ShowErrorMessage("只有确定按钮", {}), int(mrOk));   // 6 is not offered: answered as Esc
            QCOMPARE(ShowConfirmMessage("没有准备答案", {}), int(mrNo)); // beyond the script: Esc
            dialogs.Push(mrCancel);
            QCOMPARE(ShowPromptMessage("关闭窗口", {}), int(mrCancel)); // the frame is always there
            QCOMPARE(dialogs.Problems().size(), std::size_t(2));
            QVERIFY(QString::fromStdString(dialogs.Problems()[0]).contains("错误信息"));
            QVERIFY(QString::fromStdString(dialogs.Problems()[1]).startsWith("unscripted"));
            QCOMPARE(dialogs.PendingAnswers(), std::size_t(0));
        }
        // The inner scope is gone; the outer responder answers again.
        outer.Push(mrOk);
        QCOMPARE(ShowWarningMessage("外层", {}), int(mrOk));
        QCOMPARE(outer.Log().size(), std::size_t(1));
        QVERIFY(outer.Problems().empty());
    }

    void inputBoxKeepsItsNumberAndReturnsZeroWhenClosed() {
        WhenModalShown([](QWidget* box) {
            auto* number = box->findChild<QSpinBox*>("txtNum");
            number->setValue(5);
            QTest::keyClick(number, Qt::Key_Up); // one step of 3
            box->findChild<QPushButton*>("btnOK")->click();
        });
        QCOMPARE(ShowInputBox("张数", "请输入打印张数", 0, 0, 3), 8);

        int keptValue = -1;
        QString caption, prompt;
        WhenModalShown([&](QWidget* box) {
            keptValue = box->findChild<QSpinBox*>("txtNum")->value();
            caption = box->windowTitle();
            prompt = box->findChild<QLabel*>("lblPrompt")->text();
            PressKey(box, Qt::Key_Escape);
        });
        QCOMPARE(ShowInputBox("份数", "请输入份数", 1, 9, 1), 0);
        QCOMPARE(keptValue, 8);
        QCOMPARE(caption, QString("份数"));
        QCOMPARE(prompt, QString("请输入份数"));

        WhenModalShown([](QWidget* box) { box->findChild<QPushButton*>("btnClose")->click(); });
        QCOMPARE(ShowInputBox("份数", "请输入份数", 1, 9, 1), 0);

        ScriptedDialogResponder dialogs;
        dialogs.Push({.modalResult = mrOk, .value = 12}).Push(mrCancel);
        QCOMPARE(ShowInputBox("份数", "请输入份数", 1, 9, 1), 12);
        QCOMPARE(ShowInputBox("份数", "请输入份数", 1, 9, 1), 0);
        QCOMPARE(dialogs.Log()[0].type, std::string("TUIInputBox"));
    }

    void readyMadeFormsAnswerEnterEscAndFrame_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<int>("enter");
        QTest::addColumn<int>("esc"); // -1: Esc does nothing

        const QStringList ok{"确定(&O)"};
        QTest::newRow("prompt") << "TUIPromptMsg"
                                << "提示" << ok << 1 << -1;
        QTest::newRow("warning") << "TUIWarningMsg"
                                 << "警告！！！" << ok << 1 << -1;
        QTest::newRow("error") << "TUIErrorMsg"
                               << "出错了！！！" << ok << 1 << -1;
        QTest::newRow("confirm") << "TUIConfirmMsg"
                                 << "请确认" << QStringList{"是(&Y)", "否(&N)"} << 6 << 7;
        QTest::newRow("yes/no/cancel") << "TUIYesNoCancelMsg"
                                       << "是否确认" << QStringList{"是(&Y)", "否(&N)", "取消"} << 6 << 2;
    }

    void readyMadeFormsAnswerEnterEscAndFrame() {
        QFETCH(QString, form);
        QFETCH(QString, caption);
        QFETCH(QStringList, buttons);
        QFETCH(int, enter);
        QFETCH(int, esc);

        const auto dialog = MakeForm(form);
        dialog->SetPrompt("确认本次操作吗？");
        QCOMPARE(dialog->windowTitle(), caption);
        QVERIFY(!dialog->imgIcon->pixmap().isNull());
        QStringList shown;
        for (QPushButton* b : dialog->findChildren<QPushButton*>())
            shown << b->text();
        QCOMPARE(shown, buttons);

        WhenModalShown([](QWidget* w) { PressKey(w, Qt::Key_Return); });
        QCOMPARE(dialog->Execute(), enter);
        bool openAfterEsc = false;
        WhenModalShown([&](QWidget* w) {
            PressKey(w, Qt::Key_Escape);
            openAfterEsc = w->isVisible();
            if (openAfterEsc) w->close();
        });
        QCOMPARE(dialog->Execute(), esc == -1 ? 2 : esc);
        QCOMPARE(openAfterEsc, esc == -1);

        ScriptedDialogResponder dialogs;
        dialogs.Push(enter);
        QCOMPARE(dialog->Execute(), enter);
        QCOMPARE(QString::fromStdString(dialogs.Log()[0].type), form);
        QCOMPARE(Captions(dialogs.Log()[0]), buttons);
    }

    void checkRequiredDataNamesTheFirstEmptyRequiredField() {
        TClientDataSet customers;
        customers.AddFieldDef("Code", TFieldType::ftString, 10, true);
        customers.AddFieldDef("Note", TFieldType::ftString, 20);
        customers.AddFieldDef("Name", TFieldType::ftString, 20, true).displayLabel = "客户姓名";
        customers.AddFieldDef("Phone", TFieldType::ftString, 20, true);
        customers.CreateDataSet();
        customers.Append();
        customers.FieldByName("Code").SetAsString("C001");

        ScriptedDialogResponder dialogs;
        dialogs.Push(mrOk);
        QVERIFY(!CheckRequiredData(customers)); // Name and Phone are both empty: only Name is reported
        QCOMPARE(dialogs.Log().size(), std::size_t(1));
        QCOMPARE(dialogs.Log()[0].type, std::string("information"));
        QCOMPARE(dialogs.Log()[0].text, std::string("‘客户姓名’不能为空!"));

        // Empty text counts as missing even when it is not null; the field name stands in for a missing
        // label.
        customers.FieldByName("Name").SetAsString("张三");
        customers.FieldByName("Phone").SetAsString("");
        dialogs.Push(mrOk);
        QVERIFY(!CheckRequiredData(customers));
        QCOMPARE(dialogs.Log().back().text, std::string("‘Phone’不能为空!"));

        customers.FieldByName("Phone").SetAsString("13800000000");
        QVERIFY(CheckRequiredData(customers));

        TClientDataSet notes;
        notes.AddFieldDef("Note", TFieldType::ftString, 20);
        notes.CreateDataSet();
        notes.Append();
        QVERIFY(CheckRequiredData(notes));
        QCOMPARE(dialogs.Log().size(), std::size_t(2));
        QVERIFY(dialogs.Problems().empty());
    }

    void msgEditorStoresTheTextOnlyOnOk() {
        TMessageDlg dlg;
        dlg.SetMsg("原文");
        TfmMsgEditor editor;
        WhenModalShown([](QWidget* w) {
            w->findChild<QPlainTextEdit*>("Memo")->setPlainText("新的文字");
            PressKey(w, Qt::Key_Escape);
        });
        QVERIFY(!editor.Edit(dlg));
        QCOMPARE(dlg.Msg(), std::string("原文"));
        WhenModalShown([](QWidget* w) {
            w->findChild<QPlainTextEdit*>("Memo")->setPlainText("新的文字");
            w->findChild<QPushButton*>("OK")->click();
        });
        QVERIFY(editor.Edit(dlg));
        QCOMPARE(dlg.Msg(), std::string("新的文字"));
    }
};

int RunDialogFunctionsTest(int argc, char** argv) {
    DialogFunctionsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "dialogfunctions_test.moc"
