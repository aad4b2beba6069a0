// The message dialog with real forms: keys and results, layout, the don't-show-again memory, modeless use
// and the time-out.

#include "dialogs/dialogresponder.h"
#include "dialogs/kavdialog.h"
#include "dialogs/kavmsgdlg.h"
#include "modaldriver.h"
#include "platform/core/inifile.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

using namespace kav;

namespace {

enum class Run { Warning, Error, Prompt, Confirm, YesNoCancel, RetryAbortIgnore };

int RunDialog(Run run) {
    switch (run) {
    case Run::Warning:
        return ShowWarningMessage("库存不足", "unused");
    case Run::Error:
        return ShowErrorMessage("连接失败", "unused");
    case Run::Prompt:
        return ShowPromptMessage("已保存", "unused");
    case Run::Confirm:
        return ShowConfirmMessage("删除订单?", "unused");
    case Run::YesNoCancel:
        return ShowYesNoCancelMessage("保存修改?", "unused");
    case Run::RetryAbortIgnore:
        break;
    }
    TMessageDlg dlg;
    return dlg.Execute("打印机未就绪", TMsgDlgType::mtError,
                       {TMsgDlgBtn::mbAbort, TMsgDlgBtn::mbRetry, TMsgDlgBtn::mbIgnore}, 0);
}

std::vector<QPushButton*> ButtonsLeftToRight(QWidget* form) {
    std::vector<QPushButton*> buttons;
    for (QPushButton* b : form->findChildren<QPushButton*>())
        buttons.push_back(b);
    std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
    return buttons;
}

} // namespace

class MessageDlgTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QSettings::UserScope, "Kav", "KavDialogCLX").clear();
    }

    void keysGiveTheirResults_data() {
        QTest::addColumn<Run>("run");
        QTest::addColumn<QString>("keys"); // done in order; "close" closes by the frame
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("caption");

        QTest::newRow("confirm Enter") << Run::Confirm << "enter" << 6 << "请确认";
        QTest::newRow("confirm Esc") << Run::Confirm << "esc" << 7 << "请确认";
        QTest::newRow("confirm frame") << Run::Confirm << "close" << 2 << "请确认";
        QTest::newRow("error Enter") << Run::Error << "enter" << 1 << "错误信息";
        QTest::newRow("error Esc: OK is also cancel") << Run::Error << "esc" << 1 << "错误信息";
        QTest::newRow("error frame") << Run::Error << "close" << 2 << "错误信息";
        QTest::newRow("warning Esc") << Run::Warning << "esc" << 1 << "警告";
        QTest::newRow("prompt Enter") << Run::Prompt << "enter" << 1 << "操作提示";
        QTest::newRow("yes/no/cancel Enter") << Run::YesNoCancel << "enter" << 6 << "请确认";
        QTest::newRow("yes/no/cancel Esc") << Run::YesNoCancel << "esc" << 2 << "请确认";
        QTest::newRow("retry is default") << Run::RetryAbortIgnore << "enter" << 4 << "错误信息";
        QTest::newRow("no cancel button: Esc does nothing")
            << Run::RetryAbortIgnore << "esc,close" << 2 << "错误信息";
    }

    void keysGiveTheirResults() {
        QFETCH(Run, run);
        QFETCH(QString, keys);
        QFETCH(int, expected);
        QFETCH(QString, caption);

        QString shownCaption;
        bool stillShownAfterFirstKey = false;
        WhenModalShown([&](QWidget* dialog) {
            shownCaption = dialog->windowTitle();
            const QStringList steps = keys.split(',');
            for (int i = 0; i < steps.size(); ++i) {
                if (steps[i] == "enter")
                    PressKey(dialog, Qt::Key_Return);
                else if (steps[i] == "esc")
                    PressKey(dialog, Qt::Key_Escape);
                else
                    dialog->close();
                if (i == 0 && steps.size() > 1) stillShownAfterFirstKey = dialog->isVisible();
            }
        });
        QCOMPARE(RunDialog(run), expected);
        QCOMPARE(shownCaption, caption);
        if (keys.contains(',')) QVERIFY(stillShownAfterFirstKey);
    }

    void buttonsInTableOrderWithDefaultAndHelp() {
        TMessageDlg dlg;
        dlg.SetMsg("全部按钮");
        dlg.SetButtons({TMsgDlgBtn::mbHelp, TMsgDlgBtn::mbYesToAll, TMsgDlgBtn::mbNoToAll, TMsgDlgBtn::mbAll,
                        TMsgDlgBtn::mbIgnore, TMsgDlgBtn::mbRetry, TMsgDlgBtn::mbAbort, TMsgDlgBtn::mbCancel,
                        TMsgDlgBtn::mbOK, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbYes});
        QStringList names, captions;
        QString defaultName;
        bool helpKeptItOpen = false;
        bool buttonsInside = true;
        WhenModalShown([&](QWidget* form) {
            const auto buttons = ButtonsLeftToRight(form);
            for (QPushButton* b : buttons) {
                names << b->objectName();
                captions << b->text();
                if (b->isDefault()) defaultName = b->objectName();
                buttonsInside = buttonsInside && form->rect().contains(b->geometry());
            }
            // Equal gaps between neighbours, and the row centred.
            const int left = buttons.front()->x();
            const int right = form->width() - (buttons.back()->x() + buttons.back()->width());
            buttonsInside = buttonsInside && std::abs(left - right) <= 1;
            form->findChild<QPushButton*>("Help")->click();
            helpKeptItOpen = form->isVisible();
            form->findChild<QPushButton*>("Abort")->click();
        });
        QCOMPARE(dlg.Execute(), int(mrAbort));
        QCOMPARE(names, QStringList({"Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All",
                                     "NoToAll", "YesToAll", "Help"}));
        QCOMPARE(captions, QStringList({"是(&Y)", "否(&N)", "确定", "取消", "&Abort", "&Retry", "&Ignore",
                                        "&All", "N&o to All", "Yes to &All", "帮助"}));
        QCOMPARE(defaultName, QString("OK"));
        QVERIFY(helpKeptItOpen);
        QVERIFY(buttonsInside);
    }

    // A long Chinese message wraps within half the screen, in a CJK face, and nothing is cut off.
    void longChineseMessageFitsItsForm_data() {
        QTest::addColumn<Run>("run");
        QTest::newRow("confirmation") << Run::Confirm;
        QTest::newRow("error") << Run::Error;
    }

    void longChineseMessageFitsItsForm() {
        QFETCH(Run, run);
        const std::string text =
            "订单 A20261207 的座位已被其他售票窗口锁定，无法完成付款。请在确认顾客信息后重新选择座位，"
            "或者联系票务主管解除锁定；如果问题仍然存在，请检查与服务器的网络连接是否正常。";
        QWidget* shown = nullptr;
        bool fits = false;
        QString family;
        WhenModalShown([&](QWidget* form) {
            shown = form;
            auto* message = form->findChild<QLabel*>("Message");
            family = QFontInfo(message->font()).family();
            const int halfScreen = QGuiApplication::primaryScreen()->geometry().width() / 2;
            fits = message->width() <= halfScreen &&
                   message->heightForWidth(message->width()) <= message->height() &&
                   form->rect().contains(message->geometry()) &&
                   message->geometry().bottom() < ButtonsLeftToRight(form).front()->y();
            if (const QByteArray dir = qgetenv("KAV_DIALOG_SHOTS"); !dir.isEmpty())
                form->grab().save(QString::fromLocal8Bit(dir) + "/" + QTest::currentDataTag() + ".png");
            PressKey(form, Qt::Key_Return);
        });
        if (run == Run::Confirm)
            ShowConfirmMessage(text, {});
        else
            ShowErrorMessage(text, {});
        QVERIFY(shown != nullptr);
        QVERIFY2(fits, "message label clipped or outside its form");
        QVERIFY2(family.contains("CJK") || family.contains("Song") || family.contains("宋体"),
                 qPrintable(family));
    }

    void rememberedAnswerSkipsTheDialogUntilItsItemIsDeleted() {
        QTemporaryDir dir;
        const std::string iniPath = dir.filePath("dialogs.ini").toStdString();
        TMessageDlg dlg;
        dlg.SetCheckBox(true);
        dlg.SetIniFile(iniPath);
        dlg.SetIniSection("Sale");
        dlg.SetIniItem("ConfirmPrint");

        WhenModalShown([](QWidget* form) {
            form->findChild<QCheckBox*>("DontShowAgain")->setChecked(true);
            form->findChild<QPushButton*>("Yes")->click();
        });
        QCOMPARE(
            dlg.Execute("打印车票?", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, 0),
            int(mrYes));
        IniFile ini(iniPath);
        QCOMPARE(ini.ReadBool("Sale", "ConfirmPrint", false), true);
        QCOMPARE(ini.ReadInteger("Sale", "MsgDlgValue", 0), 6LL);

        {
            ScriptedDialogResponder dialogs;
            QCOMPARE(dlg.Execute(), int(mrYes));
            QVERIFY(dialogs.Log().empty());
        }

        ini.DeleteKey("Sale", "ConfirmPrint");
        ini.UpdateFile();
        ScriptedDialogResponder dialogs;
        dialogs.Push(mrNo);
        QCOMPARE(dlg.Execute(), int(mrNo));
        QCOMPARE(dialogs.Log().size(), std::size_t(1));
        QVERIFY(dialogs.Log()[0].checkBox);
        // Not ticked this time: asked again next time.
        dialogs.Push(mrYes);
        QCOMPARE(dlg.Execute(), int(mrYes));
        QCOMPARE(dialogs.Log().size(), std::size_t(2));
    }

    void rememberedAnswerInTheUserStore() {
        TMessageDlg dlg;
        dlg.SetCheckBox(true);
        dlg.SetUseRegistry(true);
        dlg.SetIniFile("Software\\Kav\\Test");
        dlg.SetIniSection("Refund");
        dlg.SetIniItem("AskAgain");
        dlg.SetButtons({TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo});
        ScriptedDialogResponder dialogs;
        dialogs.Push({.modalResult = mrNo, .dontShowAgain = true});
        QCOMPARE(dlg.Execute(), int(mrNo));
        QCOMPARE(dlg.Execute(), int(mrNo));
        QCOMPARE(dialogs.Log().size(), std::size_t(1));
        dlg.SetIniSection("OtherSection");
        dialogs.Push(mrYes);
        QCOMPARE(dlg.Execute(), int(mrYes));
        QVERIFY(dialogs.Problems().empty());
    }

    void missingIniNamesAreRefusedInOrder() {
        ScriptedDialogResponder dialogs;
        TMessageDlg dlg;
        dlg.SetCheckBox(true);
        const auto refusal = [&dlg]() -> QString {
            try {
                dlg.Execute();
            } catch (const EMessageDlgError& e) {
                return QString::fromUtf8(e.what());
            }
            return {};
        };
        QCOMPARE(refusal(), QString("IniFile property not specified"));
        dlg.SetIniItem("Item");
        QCOMPARE(refusal(), QString("IniFile property not specified"));
        dlg.SetIniFile("x.ini");
        QCOMPARE(refusal(), QString("IniSection property not specified"));
        dlg.SetIniItem("");
        dlg.SetIniSection("S");
        QCOMPARE(refusal(), QString("IniItem property not specified"));
        QVERIFY(dialogs.Log().empty());

        // Allowed blank: shown with its check box, nothing stored anywhere.
        dlg.SetIniFile("");
        dlg.SetAllowBlankINI(true);
        dialogs.Push({.modalResult = mrOk, .dontShowAgain = true});
        QCOMPARE(dlg.Execute(), int(mrOk));
        dialogs.Push(mrOk);
        QCOMPARE(dlg.Execute(), int(mrOk));
        QCOMPARE(dialogs.Log().size(), std::size_t(2));
        QVERIFY(dialogs.Log()[0].checkBox);
    }

    void reservedIniItemIsRefusedAndTheOldNameKept() {
        TMessageDlg dlg;
        dlg.SetIniItem("Keep");
        for (const char* reserved : {"MsgDlgValue", "msgdlgvalue", "MSGDLGVALUE"}) {
            QString message;
            try {
                dlg.SetIniItem(reserved);
            } catch (const EMessageDlgError& e) {
                message = QString::fromUtf8(e.what());
            }
            QCOMPARE(message,
                     QString("MsgDlgValue is reserved for internal use by this component.\\nPlease select "
                             "another name for the IniItem property."));
            QCOMPARE(dlg.IniItem(), std::string("Keep"));
        }
    }

    void checkBoxCaptionAndVersionKeepTheirValues() {
        TMessageDlg dlg;
        dlg.SetCheckBoxCaption("不再提示");
        QCOMPARE(dlg.CheckBoxCaption(), std::string("不再提示"));
        dlg.SetCheckBoxCaption("");
        QCOMPARE(dlg.CheckBoxCaption(), std::string("&Don't show this message again."));
        dlg.SetVersion("2.0");
        QCOMPARE(dlg.Version(), std::string("1.3"));
    }

    void modelessForcesNoCheckBoxAndReturnsAtOnce() {
        TMessageDlg dlg;
        dlg.SetCheckBox(true);
        dlg.SetModeless(true);
        QVERIFY(!dlg.CheckBox());
        dlg.SetCheckBox(true);
        QVERIFY(!dlg.CheckBox());

        dlg.SetGaugeMaxValue(10);
        QCOMPARE(dlg.Execute("正在出票", TMsgDlgType::mtInformation, {TMsgDlgBtn::mbCancel}, 0), int(mrOk));
        TMessageForm* form = dlg.ShownForm();
        QVERIFY(form != nullptr && form->isVisible());
        QVERIFY(form->findChild<QCheckBox*>() == nullptr);
        dlg.IncGauge(3);
        dlg.IncGauge();
        dlg.IncGauge(100);
        auto* gauge = form->findChild<QProgressBar*>("Gauge");
        QCOMPARE(gauge->value(), 10);
        QVERIFY(!gauge->geometry().intersects(form->findChild<QPushButton*>("Cancel")->geometry()));
        dlg.SetMsg("正在出票，第二张……这一行比原来的长得多");
        auto* message = form->findChild<QLabel*>("Message");
        QCOMPARE(message->text(), QString("正在出票，第二张……这一行比原来的长得多"));
        QVERIFY(message->heightForWidth(message->width()) <= message->height());
        dlg.Hide();
        QVERIFY(!form->isVisible());
        dlg.Show();
        QVERIFY(form->isVisible());
        form->findChild<QPushButton*>("Cancel")->click();
        QTRY_VERIFY(dlg.ShownForm() == nullptr);
    }

    void timeOutResultFollowsTheShownButtons() {
        TMessageDlg dlg;
        QCOMPARE(dlg.TimeOutResult(), TTimeOutResult::trCancel); // left alone without a time-out
        dlg.SetTimeOut(5);
        QCOMPARE(dlg.TimeOutResult(), TTimeOutResult::trOk); // only OK shown
        dlg.SetButtons({TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo});
        QCOMPARE(dlg.TimeOutResult(), TTimeOutResult::trYes);
        dlg.SetTimeOutResult(TTimeOutResult::trNo);
        QCOMPARE(dlg.TimeOutResult(), TTimeOutResult::trNo); // a shown button's result is kept
        dlg.SetTimeOutResult(TTimeOutResult::trNone);
        QCOMPARE(dlg.TimeOutResult(), TTimeOutResult::trNone);
        dlg.SetTimeOut(1000);
        QCOMPARE(dlg.TimeOut(), 255);
    }

    void timeOutClosesWithItsResultCountingDown() {
        TMessageDlg dlg;
        dlg.SetButtons({TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo});
        dlg.SetTimeOut(2);
        dlg.SetTimeOutResult(TTimeOutResult::trNo);
        dlg.SetShowCountdown(true);
        dlg.SetMsg("两秒后自动关闭");
        QStringList seen;
        WhenModalShown([&](QWidget* form) {
            auto* countdown = form->findChild<QLabel*>("Countdown");
            seen << countdown->text();
            for (QPushButton* button : ButtonsLeftToRight(form))
                QVERIFY(!countdown->geometry().intersects(button->geometry()));
            auto* watch = new QTimer(form);
            connect(watch, &QTimer::timeout, form, [&seen, countdown] {
                if (seen.back() != countdown->text()) seen << countdown->text();
            });
            watch->start(20);
        });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(dlg.Execute(), int(mrNo));
        QVERIFY(clock.elapsed() >= 1900);
        QCOMPARE(seen.mid(0, 2), QStringList({"2", "1"}));
    }
};

int RunMessageDlgTest(int argc, char** argv) {
    MessageDlgTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "messagedlg_test.moc"
