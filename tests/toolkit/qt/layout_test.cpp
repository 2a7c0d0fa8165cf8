// The window as built from kForm2Layout: widgets, geometry, captions, fonts,
// initial state, focus order, keys, cursors, size and icon.

#include <QApplication>
#include <QButtonGroup>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOption>
#include <QTest>
#include <QToolBar>
#include <QWindow>

#include <functional>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

#include "window_fixture.h"
#include "ui/form2_layout.h"

namespace toolkit_qt_test {
namespace {

using toolkit::Control;
using toolkit::ControlKind;
using toolkit::ControlLayout;
using toolkit::FontRole;
using toolkit::TwipsToPixels;

QString Caption(const ControlLayout& row) {
  return QString::fromUtf8(row.caption.data(), static_cast<qsizetype>(row.caption.size()));
}

std::string Name(Control control) { return std::string(toolkit::ControlName(control)); }

// What the control shows as its caption (a text box: its text).
QString ShownCaption(QWidget& widget) {
  if (auto* frame = qobject_cast<QGroupBox*>(&widget)) return frame->title();
  if (auto* button = qobject_cast<QAbstractButton*>(&widget)) return button->text();
  if (auto* label = qobject_cast<QLabel*>(&widget)) return label->text();
  return dynamic_cast<QLineEdit&>(widget).text();
}

// The rectangle of `local` (in `widget`'s coordinates) in the client area.
QRect InClientArea(QWidget& widget, const QRect& local) {
  return {widget.mapTo(widget.window(), local.topLeft()), local.size()};
}

QStyleOptionButton OptionStyle(QRadioButton& option) {
  QStyleOptionButton style;
  style.initFrom(&option);
  style.text = option.text();
  return style;
}

// Where an option draws its mark and its caption, in its own coordinates.
QRect DrawnPart(QRadioButton& option) {
  const QStyleOptionButton style = OptionStyle(option);
  return option.style()->subElementRect(QStyle::SE_RadioButtonIndicator, &style, &option) |
         option.style()->subElementRect(QStyle::SE_RadioButtonFocusRect, &style, &option);
}

// Where a frame draws its caption, in its own coordinates.
QRect CaptionPart(QGroupBox& frame) {
  QStyleOptionGroupBox style;
  style.initFrom(&frame);
  style.text = frame.title();
  style.textAlignment = frame.alignment();
  style.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
  style.lineWidth = 1;
  return frame.style()->subControlRect(QStyle::CC_GroupBox, &style, QStyle::SC_GroupBoxLabel,
                                       &frame);
}

// Place, caption, pointer and buddy are checked with every binding's
// (cases_test.cpp); here, what Qt makes of each row.
TEST_F(QtWindowTest, EveryRowIsAWidgetOfItsKindInItsContainer) {
  for (const ControlLayout& row : ui::kForm2Controls) {
    SCOPED_TRACE(Name(row.control));
    QWidget& widget = Find(row.control);
    const char* classes[] = {"QGroupBox", "QRadioButton", "QLabel", "QLineEdit", "QPushButton"};
    EXPECT_STREQ(widget.metaObject()->className(), classes[static_cast<int>(row.kind)]);
    QWidget& container = row.container ? Find(*row.container) : Form();
    EXPECT_EQ(widget.parentWidget(), &container);
    EXPECT_TRUE(widget.isVisible());
    EXPECT_TRUE(widget.isEnabled());
  }
}

// Client-area rectangles worked out by hand from the layout's twips
// (15 twips to a pixel, rounded to nearest; options add their frame's corner).
TEST_F(QtWindowTest, ControlsStandAtTheirPixelsInTheClientArea) {
  struct Spot {
    const char* name;
    Control control;
    QRect rect;
  };
  const Spot spots[] = {
      {"Frame1", Control::Frame1, {8, 8, 217, 121}},
      {"Frame2", Control::Frame2, {232, 8, 217, 121}},
      {"Option1, first in Frame1", Control::Option1, {16, 24, 113, 33}},
      {"Option3, last in Frame1", Control::Option3, {16, 88, 201, 33}},
      {"Option4, first in Frame2", Control::Option4, {240, 24, 145, 33}},
      {"Option6, last in Frame2", Control::Option6, {240, 88, 201, 33}},
      {"Label1, narrower than the other labels", Control::Label1, {56, 144, 217, 17}},
      {"Label3, bottom label", Control::Label3, {56, 240, 225, 17}},
      {"Text3 at 2566 twips", Control::Text3, {297, 171, 81, 25}},
      {"Text2 at 3032 twips", Control::Text2, {297, 202, 81, 25}},
      {"Text4 at 3500 twips", Control::Text4, {297, 233, 81, 25}},
      {"Command1", Control::Command1, {104, 272, 65, 25}},
      {"Command2", Control::Command2, {272, 272, 65, 25}},
  };
  for (const Spot& spot : spots) {
    SCOPED_TRACE(spot.name);
    QWidget& widget = Find(spot.control);
    EXPECT_EQ(InClientArea(widget, widget.rect()), spot.rect);
  }
  EXPECT_EQ(Form().size(), QSize(457, 307));
}

TEST_F(QtWindowTest, WindowHasItsCaptionAndNoBars) {
  EXPECT_EQ(Form().windowTitle(), QString::fromUtf8("传动比计算（作者：Velnor）"));
  EXPECT_TRUE(Form().findChildren<QMenuBar*>().isEmpty());
  EXPECT_TRUE(Form().findChildren<QToolBar*>().isEmpty());
  EXPECT_TRUE(Form().findChildren<QStatusBar*>().isEmpty());
}

TEST_F(QtWindowTest, StartsWithNothingSelectedAndEmptyEditableFields) {
  for (const ControlLayout& row : ui::kForm2Controls) {
    SCOPED_TRACE(Name(row.control));
    if (row.kind == ControlKind::OptionButton) {
      EXPECT_FALSE(Find<QRadioButton>(row.control).isChecked());
    }
    if (row.kind == ControlKind::TextBox) {
      auto& field = Find<QLineEdit>(row.control);
      EXPECT_EQ(field.text(), QString());
      EXPECT_FALSE(field.isReadOnly());
      EXPECT_EQ(field.validator(), nullptr);
      EXPECT_EQ(field.inputMask(), QString());
      EXPECT_EQ(field.echoMode(), QLineEdit::Normal);
      EXPECT_TRUE(field.alignment() & Qt::AlignLeft);
      EXPECT_GE(field.maxLength(), 1 << 30);
    }
  }
  for (const toolkit::Option option : {toolkit::Option::Option1, toolkit::Option::Option2,
                                       toolkit::Option::Option3, toolkit::Option::Option4,
                                       toolkit::Option::Option5, toolkit::Option::Option6}) {
    EXPECT_FALSE(Window().IsSelected(option)) << Name(option.control());
  }
}

TEST_F(QtWindowTest, EachFrameMakesItsThreeOptionsOneExclusiveGroup) {
  struct Group {
    const char* name;
    Control frame;
    std::vector<Control> options;
  };
  const Group groups[] = {
      {"Frame1", Control::Frame1, {Control::Option1, Control::Option2, Control::Option3}},
      {"Frame2", Control::Frame2, {Control::Option4, Control::Option5, Control::Option6}},
  };
  for (const Group& group : groups) {
    SCOPED_TRACE(group.name);
    QButtonGroup* buttons = Find<QRadioButton>(group.options.front()).group();
    ASSERT_NE(buttons, nullptr);
    EXPECT_TRUE(buttons->exclusive());
    EXPECT_EQ(buttons->buttons().size(), 3);
    for (const Control option : group.options) {
      EXPECT_EQ(Find<QRadioButton>(option).group(), buttons) << Name(option);
      EXPECT_EQ(Find(option).parentWidget(), &Find(group.frame)) << Name(option);
    }
  }
}

TEST_F(QtWindowTest, LabelsShowPlainTextOnTheLeft) {
  for (const ControlLayout& row : ui::kForm2Controls) {
    if (row.kind != ControlKind::Label) continue;
    SCOPED_TRACE(Name(row.control));
    auto& label = Find<QLabel>(row.control);
    EXPECT_EQ(label.textFormat(), Qt::PlainText);
    EXPECT_TRUE(label.alignment() & Qt::AlignLeft);
  }
}

TEST_F(QtWindowTest, FontsHaveTheirSizesAndFaces) {
  QStringList songFamilies;
  for (const std::string_view family : toolkit::FaceFamilies("宋体")) {
    songFamilies << QString::fromUtf8(family.data(), static_cast<qsizetype>(family.size()));
  }
  for (const ControlLayout& row : ui::kForm2Controls) {
    SCOPED_TRACE(Name(row.control));
    QWidget& widget = Find(row.control);
    const QFont font = widget.font();
    switch (row.font) {
      case FontRole::Window:
        EXPECT_FALSE(widget.testAttribute(Qt::WA_SetFont));
        EXPECT_EQ(font.families(), QApplication::font().families());
        EXPECT_DOUBLE_EQ(font.pointSizeF(), QApplication::font().pointSizeF());
        break;
      case FontRole::Label:
      case FontRole::Field:
        EXPECT_EQ(font.families(), songFamilies);
        EXPECT_TRUE(songFamilies.contains(QFontInfo(font).family()))
            << "drawn in " << QFontInfo(font).family().toStdString();
        EXPECT_DOUBLE_EQ(font.pointSizeF(), row.font == FontRole::Label ? 9.75 : 11.25);
        EXPECT_EQ(font.weight(), QFont::Normal);
        EXPECT_FALSE(font.italic());
        EXPECT_FALSE(font.underline());
        EXPECT_FALSE(font.strikeOut());
        break;
    }
  }
  EXPECT_DOUBLE_EQ(Find(Control::Label2).font().pointSizeF(), 9.75);
  EXPECT_DOUBLE_EQ(Find(Control::Command1).font().pointSizeF(), 11.25);
  EXPECT_DOUBLE_EQ(Find(Control::Text4).font().pointSizeF(), 11.25);
}

TEST_F(QtWindowTest, EveryCaptionIsDrawnByTheFontItsControlResolvesTo) {
  for (const ControlLayout& row : ui::kForm2Controls) {
    SCOPED_TRACE(Name(row.control));
    const QFont font = Find(row.control).font();
    // Text boxes show numbers and the closed field's "Enabled".
    const QString text = row.kind == ControlKind::TextBox ? QString("Enabled 0123456789.-+E")
                                                          : Caption(row);
    EXPECT_EQ(MissingGlyphs(font, text), std::vector<std::string>{})
        << "resolved face: " << QFontInfo(font).family().toStdString();
  }
}

TEST_F(QtWindowTest, CaptionsFitTheirControls) {
  for (const ControlLayout& row : ui::kForm2Controls) {
    SCOPED_TRACE(Name(row.control));
    QWidget& widget = Find(row.control);
    const QFontMetrics metrics(widget.font());
    const int advance = metrics.horizontalAdvance(ShownCaption(widget));
    switch (row.kind) {
      case ControlKind::Frame: {
        const QRect caption = CaptionPart(Find<QGroupBox>(row.control));
        EXPECT_TRUE(widget.rect().contains(caption));
        EXPECT_LE(caption.left() + advance, widget.width());
        break;
      }
      case ControlKind::OptionButton: {
        auto& option = Find<QRadioButton>(row.control);
        const QStyleOptionButton style = OptionStyle(option);
        const QRect contents =
            option.style()->subElementRect(QStyle::SE_RadioButtonContents, &style, &option);
        EXPECT_GE(contents.width(), advance);
        EXPECT_LE(metrics.height(), widget.height());
        break;
      }
      case ControlKind::Label:
        EXPECT_LE(advance, widget.width());
        EXPECT_LE(metrics.height(), widget.height());
        break;
      case ControlKind::TextBox:
        EXPECT_LE(metrics.height(), widget.height() - 4);  // inside the box's frame
        break;
      case ControlKind::PushButton:
        EXPECT_LE(advance + 2 * widget.style()->pixelMetric(QStyle::PM_ButtonMargin),
                  widget.width());
        EXPECT_LE(metrics.height(), widget.height());
        break;
    }
  }
}

// The options' rows are 495 twips high at a pitch of 480, so their boxes
// share a pixel row; what they draw (mark and caption) must not meet, nor
// meet a frame's caption or any other control.
TEST_F(QtWindowTest, NoTwoControlsOverlapOnScreen) {
  struct Part {
    std::string name;
    Control owner;
    QRect rect;       // in the client area
    bool wholeFrame;  // a frame's whole box, which holds its options
  };
  std::vector<Part> parts;
  for (const ControlLayout& row : ui::kForm2Controls) {
    QWidget& widget = Find(row.control);
    if (auto* frame = qobject_cast<QGroupBox*>(&widget)) {
      parts.push_back({Name(row.control), row.control, InClientArea(widget, widget.rect()), true});
      parts.push_back({Name(row.control) + " caption", row.control,
                       InClientArea(widget, CaptionPart(*frame)), false});
    } else if (auto* option = qobject_cast<QRadioButton*>(&widget)) {
      parts.push_back({Name(row.control), row.control, InClientArea(widget, DrawnPart(*option)),
                       false});
    } else {
      parts.push_back({Name(row.control), row.control, InClientArea(widget, widget.rect()), false});
    }
  }
  const auto holds = [](const Part& frame, const Part& part) {
    if (!frame.wholeFrame) return false;
    for (const ControlLayout& candidate : ui::kForm2Controls) {
      if (candidate.control == part.owner) return candidate.container == frame.owner;
    }
    return false;
  };
  for (std::size_t a = 0; a < parts.size(); ++a) {
    for (std::size_t b = a + 1; b < parts.size(); ++b) {
      if (parts[a].owner == parts[b].owner || holds(parts[a], parts[b]) ||
          holds(parts[b], parts[a])) {
        continue;
      }
      EXPECT_FALSE(parts[a].rect.intersects(parts[b].rect))
          << parts[a].name << " meets " << parts[b].name;
    }
  }
  for (const Part& part : parts) {
    EXPECT_TRUE(Form().rect().contains(part.rect)) << part.name << " leaves the client area";
  }
}

// The rows of a layout need not come in tab order, nor frames before their
// options.
TEST_F(QtWindowTest, TabIndexNotRowOrderGivesTheFocusOrder) {
  const ControlLayout rows[] = {
      {Control::Text3, ControlKind::TextBox, std::nullopt, 0, 0, 900, 300, 3, "", FontRole::Field},
      {Control::Option4, ControlKind::OptionButton, Control::Frame2, 60, 200, 900, 300, 1, "O",
       FontRole::Window},
      {Control::Text1, ControlKind::TextBox, std::nullopt, 0, 400, 900, 300, 4, "",
       FontRole::Field},
      {Control::Frame2, ControlKind::Frame, std::nullopt, 1000, 0, 1200, 900, 0, "F",
       FontRole::Window},
      {Control::Text2, ControlKind::TextBox, std::nullopt, 0, 800, 900, 300, 2, "",
       FontRole::Field},
  };
  toolkit::qt::QtWindow window({"order", 3000, 1500, rows, "", ui::kLabelFont, ui::kFieldFont},
                              DescribeForTest);
  EventLog log;
  RecordingEvents handlers(log);
  window.Open(handlers);
  window.Widget().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window.Widget()));
  EXPECT_EQ(FindControl(window.Widget(), Control::Option4).parentWidget(),
            &FindControl(window.Widget(), Control::Frame2));
  FindControl(window.Widget(), Control::Option4).setFocus(Qt::OtherFocusReason);
  for (const Control expected : {Control::Text2, Control::Text3, Control::Text1, Control::Option4}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), &FindControl(window.Widget(), expected))
        << Name(expected);
  }
}

TEST_F(QtWindowTest, WindowKeepsItsSize) {
  struct Attempt {
    const char* name;
    std::function<void(QWidget&)> resize;
  };
  const Attempt attempts[] = {
      {"resize()", [](QWidget& form) { form.resize(800, 600); }},
      {"setGeometry()", [](QWidget& form) { form.setGeometry(10, 10, 300, 200); }},
      {"adjustSize()", [](QWidget& form) { form.adjustSize(); }},
  };
  // What the window manager is told: the user may not resize the window.
  EXPECT_EQ(Form().windowHandle()->minimumSize(), QSize(457, 307));
  EXPECT_EQ(Form().windowHandle()->maximumSize(), QSize(457, 307));
  EXPECT_FALSE(Form().windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(Form().windowFlags() & Qt::WindowCloseButtonHint);
  for (const Attempt& attempt : attempts) {
    SCOPED_TRACE(attempt.name);
    attempt.resize(Form());
    QCoreApplication::processEvents();
    EXPECT_EQ(Form().size(), QSize(457, 307));
  }
}

TEST_F(QtWindowTest, WindowOpensCentredOnItsScreen) {
  const QPoint centre = Form().screen()->availableGeometry().center();
  const QPoint shown = Form().frameGeometry().center();
  EXPECT_LE((shown - centre).manhattanLength(), 2) << shown.x() << "," << shown.y();
}

TEST_F(QtWindowTest, IconHoldsSixImagesAt4And8BitsPerPixel) {
  const QString path = QStringLiteral(":/icons/") +
                       QString::fromUtf8(ui::kForm2Layout.icon.data(),
                                         static_cast<qsizetype>(ui::kForm2Layout.icon.size()));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray ico = file.readAll();
  const auto u8 = [&](qsizetype at) { return static_cast<int>(static_cast<quint8>(ico.at(at))); };
  const auto u16 = [&](qsizetype at) { return u8(at) | u8(at + 1) << 8; };
  const auto u32 = [&](qsizetype at) { return u16(at) | u16(at + 2) << 16; };
  ASSERT_GE(ico.size(), 6);
  EXPECT_EQ(u16(0), 0);  // reserved
  EXPECT_EQ(u16(2), 1);  // an icon, not a cursor
  ASSERT_EQ(u16(4), 6);
  using Image = std::tuple<int, int, int>;  // width, height, bits per pixel
  std::multiset<Image> images;
  for (int entry = 0; entry < 6; ++entry) {
    const qsizetype at = 6 + 16 * entry;
    const int offset = u32(at + 12);
    ASSERT_LE(offset + 40, ico.size());
    const int bits = u16(offset + 14);  // the image's own header: biBitCount
    EXPECT_EQ(u16(at + 6), bits) << "entry " << entry;
    EXPECT_EQ(u8(at + 2), bits == 4 ? 16 : 0) << "entry " << entry;  // colour count
    images.insert({u8(at), u8(at + 1), bits});
  }
  EXPECT_EQ(images, (std::multiset<Image>{{16, 16, 4}, {16, 16, 8}, {32, 32, 4}, {32, 32, 8},
                                          {48, 48, 4}, {48, 48, 8}}));

  QImageReader reader(path);
  EXPECT_EQ(reader.imageCount(), 6);
  std::multiset<int> decodedSizes;
  for (int index = 0; index < reader.imageCount(); ++index) {
    ASSERT_TRUE(reader.jumpToImage(index));
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(image.width(), image.height());
    decodedSizes.insert(image.width());
  }
  EXPECT_EQ(decodedSizes, (std::multiset<int>{16, 16, 32, 32, 48, 48}));

  const QList<QSize> sizes = Form().windowIcon().availableSizes();
  for (const int side : {16, 32, 48}) {
    EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;
  }
}

}  // namespace
}  // namespace toolkit_qt_test
