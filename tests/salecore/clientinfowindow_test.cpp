// The customer registration window, driven as a seller would: one person per seat, required values,
// confirmation, corrections after "否", and a registration the server refuses.

#include "dialogs/dialogresponder.h"
#include "dialogs/msgdlgtypes.h"
#include "salecore/uiclientinfoshowbyclientticket.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace kav;

namespace {

pelio::Variant IdTypes() {
    TClientDataSet types;
    types.AddFieldDef("IDENTTYPEID", TFieldType::ftInteger);
    types.AddFieldDef("IDENTTYPENAME", TFieldType::ftString, 32);
    types.CreateDataSet();
    types.AppendRecord({1, "身份证"});
    types.AppendRecord({2, "护照"});
    return pelio::Variant::ByteArray(types.Data());
}

class ClientInfoWindowTest : public ::testing::Test {
protected:
    void Open(const std::string& regType, std::vector<std::string> seats) {
        TClientInfoRegistration registration;
        registration.userRegType = regType;
        registration.seatCodes = std::move(seats);
        registration.context = "NodeCode=07\n";
        registration.nodeCode = "07";
        registration.orderCode = "K0700000001";
        registration.productCode = "P0003";
        window_ = std::make_unique<TUIClientInfoShowByClientTicket>(
            registration, IdTypes(), [this](const std::string& context, const pelio::Variant& rows) {
                sentContext_ = context;
                sent_.SetData(rows.ByteArrayView());
                return serverAccepts_;
            });
        window_->show();
    }

    template <class T> T* Child(const char* name) { return window_->findChild<T*>(QString::fromUtf8(name)); }
    void Trigger(const char* action) { Child<QAction>(action)->trigger(); }
    bool Enabled(const char* action) { return Child<QAction>(action)->isEnabled(); }

    void Fill(const char* name, const char* idNum, bool male = true) {
        Child<QLineEdit>("edtName")->setText(QString::fromUtf8(name));
        Child<QLineEdit>("edtIDNum")->setText(QString::fromUtf8(idNum));
        Child<QComboBox>("cbIDType")->setCurrentIndex(0);
        Child<QRadioButton>(male ? "rbMale" : "rbFemale")->setChecked(true);
    }

    std::string Title() const { return window_->windowTitle().toStdString(); }

    ScriptedDialogResponder dialogs_;
    std::unique_ptr<TUIClientInfoShowByClientTicket> window_;
    TClientDataSet sent_;
    std::string sentContext_;
    bool serverAccepts_ = true;
};

} // namespace

TEST_F(ClientInfoWindowTest, PerSeatAsksEveryPersonBeforeConfirming) {
    Open("S", {"1001", "1002", "1003"});
    window_->AppendCustomer({{"NAME", "O'Brien"}, {"TEL", "13800000000"}});
    EXPECT_EQ(Child<QLineEdit>("edtName")->text().toStdString(), "O'Brien");
    EXPECT_EQ(Child<QLineEdit>("edtTel")->text().toStdString(), "13800000000");
    EXPECT_FALSE(Enabled("actPrior"));
    EXPECT_FALSE(Enabled("actNext"));

    // The identity number is required: the window says which value, and keeps the person.
    Child<QLineEdit>("edtName")->clear();
    dialogs_.Push(mrOk);
    Trigger("actSave");
    ASSERT_EQ(dialogs_.Log().size(), 1u);
    EXPECT_EQ(dialogs_.Log()[0].text, "\"真实姓名\"不能为空!");
    EXPECT_EQ(dialogs_.Log()[0].caption,
              "操作提示"); // the dialog type's own caption; the second argument is shown nowhere
    EXPECT_EQ(window_->Registered(), 0);

    Fill("O'Brien", "110101199001011234");
    Trigger("actSave");
    EXPECT_EQ(window_->Registered(), 1);
    EXPECT_EQ(Title(), "客户资料登记---共 3 位，已经登记 1 位");
    EXPECT_TRUE(Child<QLineEdit>("edtName")->text().isEmpty()) << "the next seat's person starts empty";
    Fill("张三", "110101199001015678", false);
    Trigger("actSave");
    EXPECT_EQ(Title(), "客户资料登记---共 3 位，已经登记 2 位");
    EXPECT_EQ(dialogs_.Log().size(), 1u) << "no confirmation before the third person";

    dialogs_.Push(mrYes);
    Fill("李四", "E12345678");
    Child<QComboBox>("cbIDType")->setCurrentIndex(1);
    Trigger("actSave");
    ASSERT_EQ(dialogs_.Log().size(), 2u);
    EXPECT_EQ(dialogs_.Log()[1].caption, "请确认");
    EXPECT_EQ(dialogs_.Log()[1].text, "客户信息添加完毕，您确定要保存这些客户信息吗？修改点击'否'");
    EXPECT_EQ(window_->result(), QDialog::Accepted);

    EXPECT_EQ(sentContext_, "NodeCode=07\n");
    ASSERT_EQ(sent_.RecordCount(), 3);
    const char* seats[] = {"1001", "1002", "1003"};
    const char* names[] = {"O'Brien", "张三", "李四"};
    sent_.First();
    for (int i = 0; i < 3; ++i, sent_.Next()) {
        SCOPED_TRACE(i);
        EXPECT_EQ(sent_.FieldByName("NODECODE").AsString(), "07") << "the session's node";
        EXPECT_EQ(sent_.FieldByName("PKID").AsInteger(), i + 1);
        EXPECT_EQ(sent_.FieldByName("SEATCODE").AsString(), seats[i]);
        EXPECT_EQ(sent_.FieldByName("NAME").AsString(), names[i]);
        EXPECT_EQ(sent_.FieldByName("ORDERCODE").AsString(), "K0700000001");
        EXPECT_EQ(sent_.FieldByName("USERREGTYPE").AsString(), "S");
    }
    sent_.First();
    EXPECT_EQ(sent_.FieldByName("SEX").AsString(), "M");
    sent_.Last();
    EXPECT_EQ(sent_.FieldByName("IDENTTYPEID").AsInteger(), 2);
    EXPECT_TRUE(dialogs_.Problems().empty());
}

TEST_F(ClientInfoWindowTest, NoLetsTheSellerCorrectARefusedRegistration) {
    Open("O", {"1001", "1002"});
    window_->AppendCustomer({{"NAME", "王五"}, {"IDNUM", "X1"}, {"IDENTTYPEID", "1"}});
    EXPECT_EQ(Child<QComboBox>("cbIDType")->currentText().toStdString(), "身份证");

    // One person for the order: saving asks at once. "否" opens the rows for correction.
    dialogs_.Push(mrNo);
    Trigger("actSave");
    ASSERT_EQ(dialogs_.Log().size(), 1u);
    EXPECT_TRUE(window_->EditStyle());
    EXPECT_TRUE(window_->isVisible());
    EXPECT_FALSE(Enabled("actPrior")) << "a single person has no neighbours";
    EXPECT_FALSE(Enabled("actNext"));

    // The server refuses: the seller is told and the window stays.
    serverAccepts_ = false;
    dialogs_.Push(mrYes).Push(mrOk);
    Child<QLineEdit>("edtIDNum")->setText("X2");
    Trigger("actSave");
    ASSERT_EQ(dialogs_.Log().size(), 3u);
    EXPECT_EQ(dialogs_.Log()[1].text, "客户信息修改完毕，您确定要保存这些客户信息吗？修改点击'否'");
    EXPECT_EQ(dialogs_.Log()[2].text, "客户信息保存失败,请重新操作!");
    EXPECT_NE(window_->result(), QDialog::Accepted);

    serverAccepts_ = true;
    dialogs_.Push(mrYes);
    Trigger("actSave");
    EXPECT_EQ(window_->result(), QDialog::Accepted);
    ASSERT_EQ(sent_.RecordCount(), 1);
    EXPECT_EQ(sent_.FieldByName("IDNUM").AsString(), "X2");
    EXPECT_TRUE(sent_.FieldByName("SEATCODE").IsNull()) << "a registration per order names no seat";
    EXPECT_TRUE(dialogs_.Problems().empty());
}

TEST_F(ClientInfoWindowTest, PersonsAreCorrectedOneByOneAfterNo) {
    Open("S", {"1001", "1002"});
    window_->AppendCustomer();
    Fill("甲", "A1");
    Trigger("actSave");
    Fill("乙", "B2");
    dialogs_.Push(mrNo);
    Trigger("actSave");
    EXPECT_TRUE(Enabled("actPrior"));
    EXPECT_FALSE(Enabled("actNext"));

    Trigger("actPrior");
    EXPECT_EQ(Child<QLineEdit>("edtName")->text().toStdString(), "甲");
    EXPECT_FALSE(Enabled("actPrior"));
    EXPECT_TRUE(Enabled("actNext"));
    Child<QLineEdit>("edtName")->setText(QStringLiteral("甲改"));
    Trigger("actNext");
    EXPECT_EQ(Child<QLineEdit>("edtName")->text().toStdString(), "乙");

    dialogs_.Push(mrYes);
    Trigger("actSave");
    EXPECT_EQ(window_->result(), QDialog::Accepted);
    ASSERT_EQ(sent_.RecordCount(), 2);
    sent_.First();
    EXPECT_EQ(sent_.FieldByName("NAME").AsString(), "甲改");
    EXPECT_TRUE(dialogs_.Problems().empty());
}
