// Venue map elements: the class registries, the settings text, moving and resizing by the handles,
// drawing at any resolution and zoom (and nothing at a zoom or resolution of 0), the text element with
// its editor window, the lightweight section block and the section list.
#include "platform/dataset/clientdataset.h"
#include "platform/widgets/modaldialog.h"
#include "seatmap/elementregistry.h"
#include "seatmap/sectionmapshow.h"
#include "seatmap/sectiontext.h"
#include "seatmap/selectsectionshow.h"
#include "seatmap/uiarenaeditorshow.h"

#include <QCheckBox>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

using namespace kav;

namespace {

class Block final : public TKavSectionElement {
public:
    using TKavSectionElement::TKavSectionElement;
    // Blocks snap their size to whole multiples of 10.
    void AdjustFrameSize(int& width, int& height) override {
        width = width / 10 * 10;
        height = height / 10 * 10;
    }
};

class Plain final : public TKavSelectSectionShow {
public:
    using TKavSelectSectionShow::TKavSelectSectionShow;
    void DoDrawContent(QPainter& painter, const QRect& rect, const TElementScale&) override {
        painter.fillRect(rect, Qt::blue);
    }
};

// An image of `dpi` dots per inch, white.
QImage Canvas(int width, int height, int dpi) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(static_cast<int>(dpi / 0.0254));
    image.setDotsPerMeterY(static_cast<int>(dpi / 0.0254));
    return image;
}

bool IsBlack(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) < 64;
}

// The bounding box of the non-white pixels.
QRect Inked(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) box |= QRect(x, y, 1, 1);
    return box;
}

int PressOk(QDialog& dialog) {
    dialog.findChild<QPushButton*>(QStringLiteral("OK"))->click();
    return dialog.result();
}

} // namespace

class SectionElementTest : public QObject {
    Q_OBJECT

private slots:
    // The text element registers itself with the library; names ignore case; the first class of a
    // name stays; registrations are undone by their owner; the block registry is separate.
    void registries() {
        QCOMPARE(GetCustomElementDisplayName("tesection"), std::string("文字1"));
        QVERIFY(GetCustomElement("TESection") != nullptr);
        QVERIFY(!RegisterCustomElement("TESECTION", "另一个", SectionElementClass<Block>()));
        QCOMPARE(GetCustomElementDisplayName("TESection"), std::string("文字1"));
        {
            TKavSectionElementRegistration block{"TEBlock", "区块", SectionElementClass<Block>()};
            TKavSectionElementRegistration again{"teblock", "区块2", SectionElementClass<TKavSectionText>()};
            QVERIFY(block.Registered() && !again.Registered());
            QCOMPARE(GetCustomElementNameList(), (std::vector<std::string>{"TESection", "TEBlock"}));
            QWidget owner;
            std::unique_ptr<TKavSectionElement> made(GetCustomElement("TEBLOCK")(&owner));
            QVERIFY(dynamic_cast<Block*>(made.get()));
            QVERIFY(GetSelectSection("TEBlock") == nullptr);
        }
        QVERIFY(GetCustomElement("TEBlock") == nullptr); // the one that took was undone
        UnRegisterCustomElement("nothing such");
        {
            TKavSelectSectionRegistration plain{"Plain", "普通", SelectSectionClass<Plain>()};
            QCOMPARE(GetSelectSectionNameList(), (std::vector<std::string>{"Plain"}));
            QCOMPARE(GetSelectSectionDisplayName("PLAIN"), std::string("普通"));
            QVERIFY(GetCustomElement("Plain") == nullptr);
        }
        QVERIFY(GetSelectSectionNameList().empty());
    }

    // Settings text: items quoted where they must be; a malformed number keeps what came before it.
    void settingsText() {
        QCOMPARE(JoinElementItems({"1", "a b", "x|y", "say \"hi\"", ""}),
                 std::string("1|\"a b\"|\"x|y\"|\"say \"\"hi\"\"\"|"));
        QCOMPARE(SplitElementItems("1|\"a b\"|\"x|y\"|\"say \"\"hi\"\"\"|"),
                 (std::vector<std::string>{"1", "a b", "x|y", "say \"hi\"", ""}));
        QVERIFY(SplitElementItems("").empty());

        TKavSectionText text;
        text.SetAsString("2|1|1");
        QCOMPARE(text.Alignment(), std::uint8_t{2});
        QCOMPARE(text.VAlignment(), std::uint8_t{1});
        QVERIFY(text.InverseColor());
        QCOMPARE(text.AsString(), std::string("2|1|1"));
        text.SetAsString("1|x|0"); // the second item is no number
        QCOMPARE(text.Alignment(), std::uint8_t{1});
        QCOMPARE(text.VAlignment(), std::uint8_t{1});
        QVERIFY(text.InverseColor());
        text.SetAsString("3");
        QCOMPARE(text.VAlignment(), std::uint8_t{0});
        QVERIFY(!text.InverseColor());
    }

    // Handles by zone; the frame never below 18 pixels; only in design mode; a drag from the
    // top-right handle keeps the right edge under the mouse.
    void movesAndResizes() {
        struct Zone {
            int x, y;
            TKavDragBox zone;
        };
        const Zone zones[] = {{0, 0, TKavDragBox::dbTopLeft},        {3, 47, TKavDragBox::dbMidLeft},
                              {6, 100, TKavDragBox::dbBottomLeft},   {0, 30, TKavDragBox::dbNone},
                              {199, 0, TKavDragBox::dbTopRight},     {200, 50, TKavDragBox::dbMidRight},
                              {196, 96, TKavDragBox::dbBottomRight}, {100, 2, TKavDragBox::dbTopMid},
                              {97, 99, TKavDragBox::dbBottomMid},    {100, 50, TKavDragBox::dbDrag},
                              {40, 70, TKavDragBox::dbDrag}};
        for (const Zone& z : zones)
            QCOMPARE(DragZoneAt(z.x, z.y, 200, 100), z.zone);

        QWidget owner;
        owner.resize(600, 400);
        Block block(&owner);
        QVERIFY(block.SetFrameBox(100, 100, 200, 100));
        QVERIFY(!block.SetFrameBox(100, 100, 17, 100));
        QVERIFY(!block.SetFrameBox(100, 100, 100, 10));
        QVERIFY(block.SetFrameBox(100, 100, 57, 33)); // snapped by the kind
        QCOMPARE(block.Frame(), QRect(100, 100, 50, 30));
        QCOMPARE(block.geometry(), QRect(100, 100, 50, 30));
        block.SetInDesign(false);
        QVERIFY(!block.SetFrameBox(0, 0, 100, 100));
        block.SetInDesign(true);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));

        // Dragging an element without a size rule of its own.
        TKavSectionElement element(&owner);
        element.show();
        QVERIFY(element.SetFrameBox(100, 100, 200, 100));
        QSignalSpy resized(&element, &TKavSectionElement::OnResize);
        QTest::mouseMove(&element, QPoint(198, 2));
        QCOMPARE(element.DragState(), TKavDragBox::dbTopRight);
        QTest::mousePress(&element, Qt::LeftButton, {}, QPoint(198, 2));
        // The mouse moves over the owner; the element sees it relative to where it is now.
        QPoint local;
        for (QPoint to : {QPoint(315, 112), QPoint(340, 120), QPoint(362, 122)}) {
            local = to - element.Frame().topLeft();
            QMouseEvent move(QEvent::MouseMove, local, element.mapToGlobal(local), Qt::NoButton,
                             Qt::LeftButton, {});
            QApplication::sendEvent(&element, &move);
        }
        QTest::mouseRelease(&element, Qt::LeftButton, {}, local);
        // The grabbed corner stays 2 pixels from the mouse as at the start; the left edge stays put.
        QCOMPARE(element.Frame().left(), 100);
        QCOMPARE(element.Frame().top(), 122 - 2);
        QCOMPARE(element.Frame().right() + 1, 362 + 2);
        QVERIFY(resized.size() >= 3);
        QCOMPARE(element.DragState(), TKavDragBox::dbNone);
        QVERIFY(element.HasFocus());

        // A click frames the element; only one element of an owner has the focus.
        Block other(&owner);
        other.SetFrameBox(400, 300, 40, 40);
        other.show();
        QTest::mouseClick(&other, Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(other.HasFocus() && !element.HasFocus());
        QCOMPARE(other.Border(), int(ebBox));
    }

    // The same element drawn at 96 and at 192 dpi: every coordinate and size doubles, and so do the
    // text's pixels, its point size following the zoom only; nothing is drawn at a zoom or resolution
    // of 0.
    void drawsAtAnyResolution() {
        TKavSectionText text;
        text.SetFrameBox(40, 30, 120, 40);
        text.SetCaption("一层A区");
        text.SetBorder(ebBox | ebLTRB);
        text.SetElementFont({"", 12, false, false, false});

        QImage at96 = Canvas(300, 200, 96), at192 = Canvas(600, 400, 192);
        {
            QPainter painter(&at96);
            text.OutputTo(painter, QPoint(0, 0), TElementScale{96, 1, 1});
        }
        {
            QPainter painter(&at192);
            text.OutputTo(painter, QPoint(0, 0), TElementScale{192, 1, 1});
        }
        QCOMPARE(Inked(at96), QRect(40, 30, 120, 40));
        QCOMPARE(Inked(at192), QRect(80, 60, 240, 80));
        QVERIFY(IsBlack(at96, 40, 50) && IsBlack(at96, 159, 50) && IsBlack(at96, 100, 69));
        QVERIFY(IsBlack(at192, 318, 138)); // the diagonal's far end
        QCOMPARE(text.ElementFont().At(192).pixelSize(), 2 * text.ElementFont().At(96).pixelSize());
        QCOMPARE(text.ElementFont().At(96, 2.0).pixelSize(), text.ElementFont().At(192).pixelSize());

        // An origin and a zoom: the element 2:1 from (20, 10) of its owner.
        QImage zoomed = Canvas(400, 200, 96);
        {
            QPainter painter(&zoomed);
            text.OutputTo(painter, QPoint(20, 10), TElementScale{96, 2, 1});
        }
        QCOMPARE(Inked(zoomed), QRect(40, 40, 240, 80));

        for (TElementScale bad : {TElementScale{96, 1, 0}, TElementScale{0, 1, 1}, TElementScale{96, 0, 1}}) {
            QImage untouched = Canvas(300, 200, 96);
            QPainter painter(&untouched);
            text.OutputTo(painter, QPoint(0, 0), bad);
            painter.end();
            QVERIFY(Inked(untouched).isEmpty());
        }

        // White on black.
        text.SetInverseColor(true);
        QImage inverse = Canvas(300, 200, 96);
        {
            QPainter painter(&inverse);
            text.OutputTo(painter, QPoint(0, 0), TElementScale{});
        }
        QVERIFY(IsBlack(inverse, 45, 35));

        // The lightweight block draws the same way, from its owner.
        QObject owner;
        Plain plain(&owner);
        QVERIFY(!plain.Edit());
        plain.SetFrameBox(10, 10, 20, 20);
        QImage blocks = Canvas(100, 100, 192);
        {
            QPainter painter(&blocks);
            plain.OutputTo(painter, QPoint(0, 0), TElementScale{192, 1, 1});
        }
        QCOMPARE(Inked(blocks), QRect(20, 20, 40, 40));
    }

    // A double click opens the text editor window; OK writes caption, font and colours and tells the
    // owner; 关闭 changes nothing.
    void editsText() {
        QWidget owner;
        TKavSectionText text(&owner);
        text.SetFrameBox(10, 10, 100, 30);
        text.SetCaption("旧");
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        QSignalSpy changed(&text, &TKavSectionElement::OnContentChange);
        const TModalDialogHook previous = SetModalDialogHook([](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("Caption"))->setText(QStringLiteral("舞台"));
            dialog.findChild<QSpinBox*>(QStringLiteral("FontPoints"))->setValue(18);
            dialog.findChild<QCheckBox*>(QStringLiteral("Bold"))->setChecked(true);
            dialog.findChild<QCheckBox*>(QStringLiteral("InverseColor"))->setChecked(true);
            return PressOk(dialog);
        });
        QTest::mouseDClick(&text, Qt::LeftButton, {}, QPoint(50, 15));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(text.Caption(), std::string("舞台"));
        QCOMPARE(text.ElementFont().points, 18);
        QVERIFY(text.ElementFont().bold && text.InverseColor());

        SetModalDialogHook([](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("Caption"))->setText(QStringLiteral("不要"));
            return QDialog::Rejected;
        });
        QVERIFY(!text.Edit());
        QCOMPARE(text.Caption(), std::string("舞台"));
        QCOMPARE(changed.size(), 1);
        SetModalDialogHook(previous);
        QVERIFY(!TKavSectionTextEditor().Show(nullptr));
    }

    // The section list shows the names and answers and takes the chosen section's code.
    void sectionList() {
        TClientDataSet sections;
        sections.AddFieldDef("SECTIONCODE", TFieldType::ftString, 8);
        sections.AddFieldDef("CNAME", TFieldType::ftString, 20);
        sections.CreateDataSet();
        sections.AppendRecord({"S0101", "池座"});
        sections.AppendRecord({"S0102", "楼座"});
        TKavSectionMapShow list;
        list.SetSectionSource(&sections);
        QCOMPARE(list.List().model()->index(1, list.List().modelColumn()).data().toString(),
                 QStringLiteral("楼座"));
        QCOMPARE(list.SectionCode(), std::string());
        QSignalSpy chosen(&list, &TKavSectionMapShow::SectionChanged);
        list.SetSectionCode("S0102");
        QCOMPARE(list.SectionCode(), std::string("S0102"));
        QCOMPARE(list.SectionName(), std::string("楼座"));
        QCOMPARE(chosen.size(), 1);
        list.SetSectionCode("S9999");
        QCOMPARE(list.SectionCode(), std::string());
        list.SetSectionSource(nullptr);
        QCOMPARE(list.SectionCode(), std::string());
    }

    // The stage dialog writes every change into the section at once and tells the window; closing
    // puts back the stage the section had, whatever was typed meanwhile.
    void stageDialog() {
        QCOMPARE(ParseArenaXY("2|10|20|3"), std::optional<QRect>(QRect(10, 2, 20, 3)));
        for (const char* bad : {"", "1|2|3", "1|2|3|4|5", "1|x|3|4", "1|2|0|4", "-1|2|3|4", "1| 2|3|4"})
            QVERIFY2(!ParseArenaXY(bad), bad);

        TClientDataSet section;
        section.AddFieldDef("SECTIONCODE", TFieldType::ftString, 8);
        section.AddFieldDef("ARENAXY", TFieldType::ftString, 64);
        section.CreateDataSet();
        section.AppendRecord({"S0101", "1|5|20|2"});
        section.MergeChangeLog();

        int notified = 0;
        struct Counter : QObject {
            int* count;
            bool event(QEvent* e) override {
                if (e->type() == KavArenaChangedEvent) ++*count;
                return QObject::event(e);
            }
        } counter;
        counter.count = &notified;

        TUIArenaEditorShow dialog(&counter, section);
        QCOMPARE(dialog.Text(), std::string("1|5|20|2"));
        dialog.findChild<QSpinBox*>(QStringLiteral("Top"))->setValue(3);
        QCOMPARE(section.FieldByName("ARENAXY").AsString(), std::string("3|5|20|2"));
        dialog.findChild<QSpinBox*>(QStringLiteral("Length"))->setValue(0); // no stage: not notified
        QCoreApplication::processEvents();
        QCOMPARE(notified, 1);
        dialog.findChild<QPushButton*>(QStringLiteral("Close"))->click();
        QCOMPARE(section.FieldByName("ARENAXY").AsString(), std::string("1|5|20|2"));
        QCOMPARE(section.ChangeCount(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(notified, 2);

        dialog.LoadFromSection();
        dialog.findChild<QSpinBox*>(QStringLiteral("Width"))->setValue(4);
        QCOMPARE(PressOk(dialog), int(QDialog::Accepted));
        QCOMPARE(section.FieldByName("ARENAXY").AsString(), std::string("1|5|20|4"));

        // A malformed stage loads the defaults.
        section.Edit();
        section.FieldByName("ARENAXY").SetAsString("left");
        section.Post();
        dialog.LoadFromSection();
        QCOMPARE(dialog.Text(), std::string("0|0|0|0"));
    }
};

QTEST_MAIN(SectionElementTest)
#include "sectionelement_test.moc"
