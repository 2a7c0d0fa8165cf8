#include "toolkit/qt/qt_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QStringDecoder>
#include <QStyle>
#include <QTimer>

#include <limits>
#include <optional>
#include <vector>

#include "toolkit/field_text.h"
#include "toolkit/qt/song_font.h"

namespace toolkit::qt {
namespace {

// A fixed-size top-level window: title, system menu, minimise and close
// boxes, no maximise box.
constexpr Qt::WindowFlags kWindowFlags =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;

// UTF-8 to QString, refusing malformed input instead of replacing it.
//   "传动比" -> u"传动比"     "\xFF" -> throws ToolkitFailure
QString ToQString(std::string_view utf8) {
  QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                  QStringDecoder::Flag::ConvertInitialBom);
  QString text = decode(QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
  if (decode.hasError()) throw NotUtf8();
  return text;
}

// The icon that the program carries as the resource `name`.
QIcon LoadIcon(std::string_view name) {
  QIcon icon(QStringLiteral(":/icons/") + ToQString(name));
  if (icon.availableSizes().isEmpty()) {
    throw ToolkitFailure("the program carries no icon " + std::string(name));
  }
  return icon;
}

// Centres the window with its frame, as far as the platform knows the frame:
// before the first show it does not, so the client area stands for it.
void CentreOnScreen(QWidget& window) {
  QRect frame(QPoint(0, 0), window.frameSize());
  frame.moveCenter(window.screen()->availableGeometry().center());
  window.move(frame.topLeft());
}

// Looks up, once, the standard icons that ShowMessage's boxes show: the
// information and critical marks and the OK button's. Qt looks each up in the
// desktop's icon theme before its own, and its first look-up reads the
// theme's whole index, which would otherwise delay the first box the user
// asks for (docs/benchmarks.md). Later look-ups find the index read.
void PrepareMessageBoxIcons() {
  QStyle* style = QApplication::style();
  for (const QStyle::StandardPixmap icon :
       {QStyle::SP_MessageBoxInformation, QStyle::SP_MessageBoxCritical,
        QStyle::SP_DialogOkButton}) {
    style->standardIcon(icon);
  }
}

QMessageBox::Icon BoxIcon(calc::MessageIcon icon) {
  switch (icon) {
    case calc::MessageIcon::Information: return QMessageBox::Information;
    case calc::MessageIcon::Critical: return QMessageBox::Critical;
  }
  throw UnknownIcon(icon);
}

}  // namespace

// The top-level widget: passes close requests to the binding, gives Enter
// and Esc their buttons, as a dialog would, and once it has first been drawn
// prepares what the message boxes need, while the user reads the window.
class QtWindow::FormWidget final : public QWidget {
 public:
  explicit FormWidget(QtWindow& owner) : QWidget(nullptr, kWindowFlags), owner_(owner) {}

 protected:
  void closeEvent(QCloseEvent* event) override { owner_.OnCloseRequest(*event); }

  void paintEvent(QPaintEvent* event) override {
    QWidget::paintEvent(event);
    if (drawn_) return;
    drawn_ = true;
    // Queued, so that the window's first picture reaches the screen first.
    QTimer::singleShot(0, this, &PrepareMessageBoxIcons);
  }

  // Reached by the keys that the focused control leaves alone: Enter and Esc
  // press the push button that the core names.
  void keyPressEvent(QKeyEvent* event) override {
    const bool plain = event->modifiers() == Qt::NoModifier ||
                       (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (plain && (enter || event->key() == Qt::Key_Escape) &&
        owner_.PressForKey(enter ? DialogKey::Enter : DialogKey::Escape)) {
      event->accept();
      return;
    }
    QWidget::keyPressEvent(event);
  }

 private:
  QtWindow& owner_;
  bool drawn_ = false;
};

// A single-line field: what the user puts in (typed, pasted by key, menu or
// middle button, dropped, or committed by an input method) keeps only its
// first line, as a single-line field on Windows does.
class QtWindow::FieldWidget final : public QLineEdit {
 public:
  FieldWidget(const QString& text, QWidget* parent) : QLineEdit(text, parent), before_(text) {
    connect(this, &QLineEdit::textEdited, this, &FieldWidget::KeepFirstLine);
    connect(this, &QLineEdit::textChanged, this, [this](const QString& now) { before_ = now; });
  }

 private:
  // The user's edit is taken back and its first line put in instead, as one
  // edit that Ctrl+Z takes back.
  void KeepFirstLine(const QString& after) {
    const auto kept = KeepFirstLineOfEdit(Utf16(before_), Utf16(after),
                                          static_cast<std::size_t>(cursorPosition()));
    if (!kept) return;
    undo();
    setSelection(static_cast<int>(kept->start), static_cast<int>(kept->end - kept->start));
    insert(QString::fromUtf16(kept->text.data(), static_cast<qsizetype>(kept->text.size())));
  }

  static std::u16string_view Utf16(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
  }

  QString before_;  // the text before the user's latest edit
};

QtWindow::QtWindow(const WindowLayout& layout, FailureDescriber describe)
    : rows_(layout.controls),
      form_(std::make_unique<FormWidget>(*this)),
      dispatch_(*this, describe, [this] { return form_->close(); }) {
  const std::vector<const ControlLayout*> rows = BuildOrder(layout);
  form_->setWindowTitle(ToQString(layout.caption));
  form_->setFixedSize(TwipsToPixels(layout.clientWidth), TwipsToPixels(layout.clientHeight));
  if (!layout.icon.empty()) {
    form_->setWindowIcon(LoadIcon(layout.icon));
    QApplication::setWindowIcon(form_->windowIcon());
  }
  for (const ControlLayout* row : rows) BuildControl(*row, layout);
  for (const ControlLayout* row : rows) {
    if (row->buddy) {
      ControlAs<QLabel>(row->control).setBuddy(controls_[Index(*row->buddy)]);
    }
  }
  ChainFocus(layout.controls);
}

QtWindow::~QtWindow() = default;

void QtWindow::BuildControl(const ControlLayout& row, const WindowLayout& layout) {
  QWidget& container = row.container ? *controls_[Index(*row.container)] : *form_;
  const QString caption = ToQString(row.caption);
  QWidget* widget = nullptr;
  switch (row.kind) {
    case ControlKind::Frame:
      widget = new QGroupBox(caption, &container);
      break;
    case ControlKind::OptionButton: {
      auto* option = new QRadioButton(caption, &container);
      // The options of one container form one exclusive group.
      auto* group = container.findChild<QButtonGroup*>(QString(), Qt::FindDirectChildrenOnly);
      if (group == nullptr) group = new QButtonGroup(&container);
      group->addButton(option);
      widget = option;
      break;
    }
    case ControlKind::Label: {
      auto* label = new QLabel(caption, &container);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      widget = label;
      break;
    }
    case ControlKind::TextBox: {
      auto* field = new FieldWidget(caption, &container);
      field->setMaxLength(std::numeric_limits<int>::max());
      field->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      widget = field;
      break;
    }
    case ControlKind::PushButton: {
      auto* button = new QPushButton(caption, &container);
      // Enter is routed by FormWidget; Qt's own default-button tracking
      // works only in dialogs.
      button->setAutoDefault(false);
      button->setDefault(row.buttonRole == ButtonRole::Default);
      widget = button;
      break;
    }
  }
  widget->setObjectName(QString::fromUtf8(ControlName(row.control)));
  widget->setGeometry(TwipsToPixels(row.left), TwipsToPixels(row.top), TwipsToPixels(row.width),
                      TwipsToPixels(row.height));
  if (row.font == FontRole::Label) widget->setFont(SongFont(layout.labelFont));
  if (row.font == FontRole::Field) widget->setFont(SongFont(layout.fieldFont));
  if (row.cursor == Cursor::PointingHand) widget->setCursor(Qt::PointingHandCursor);
  controls_[Index(row.control)] = widget;
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) ConnectClick(*button, row.control);
}

void QtWindow::ConnectClick(QAbstractButton& button, Control control) {
  if (ClickHandlerOf(control) == nullptr) return;
  // Every click, also one by Space or an arrow key in a group; the core
  // decides whether it selected an option.
  QObject::connect(&button, &QAbstractButton::clicked, form_.get(),
                   [this, control] { dispatch_.Click(control); });
}

void QtWindow::ChainFocus(std::span<const ControlLayout> rows) {
  QWidget* previous = nullptr;
  for (const Control control : FocusOrder(rows)) {
    QWidget* widget = controls_[Index(control)];
    if (previous != nullptr) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
}

template <class Widget>
Widget& QtWindow::ControlAs(Control control) const {
  auto* widget = qobject_cast<Widget*>(controls_[Index(control)]);
  if (widget == nullptr) {
    throw NoSuchControl(control);
  }
  return *widget;
}

void QtWindow::Open(WindowEvents& events) {
  if (!dispatch_.Load(events)) return;
  CentreOnScreen(*form_);
  // The focus starts at the first control of the focus order.
  const std::vector<Control> order = FocusOrder(rows_);
  if (!order.empty()) controls_[Index(order.front())]->setFocus(Qt::OtherFocusReason);
  form_->show();
  CentreOnScreen(*form_);  // again, now that the frame may be known
}

bool QtWindow::IsUnloaded() const { return dispatch_.IsUnloaded(); }

int QtWindow::RunLoop() { return QApplication::exec(); }

QWidget& QtWindow::Widget() { return *form_; }

bool QtWindow::IsSelected(Option option) {
  return ControlAs<QRadioButton>(AsControl(option)).isChecked();
}

void QtWindow::Deselect(Option option) {
  auto& button = ControlAs<QRadioButton>(AsControl(option));
  // An exclusive group keeps its selected option: lift the rule for this one
  // change. Unselecting raises no click.
  QButtonGroup* group = button.group();
  const bool exclusive = group != nullptr && group->exclusive();
  if (group != nullptr) group->setExclusive(false);
  button.setChecked(false);
  if (group != nullptr) group->setExclusive(exclusive);
  if (button.isChecked()) throw StaysSelected(AsControl(option));
  dispatch_.Deselected(option);
}

std::string QtWindow::GetText(TextField field) {
  return ControlAs<QLineEdit>(AsControl(field)).text().toStdString();
}

void QtWindow::SetText(TextField field, std::string_view text) {
  auto& edit = ControlAs<QLineEdit>(AsControl(field));
  const QString wanted = ToQString(text);
  edit.setText(wanted);
  if (edit.text() != wanted) {
    throw TextNotHeld(AsControl(field));
  }
}

void QtWindow::SetEnabled(TextField field, bool enabled) {
  ControlAs<QLineEdit>(AsControl(field)).setEnabled(enabled);
}

void QtWindow::SetCaption(Label label, std::string_view text) {
  ControlAs<QLabel>(AsControl(label)).setText(ToQString(text));
}

void QtWindow::ShowMessage(std::string_view prompt, std::string_view title,
                           calc::MessageIcon icon) {
  QMessageBox box(BoxIcon(icon), ToQString(title), ToQString(prompt), QMessageBox::Ok,
                  form_.get());
  box.setTextFormat(Qt::PlainText);
  box.setTextInteractionFlags(Qt::TextSelectableByMouse);
  box.setDefaultButton(QMessageBox::Ok);
  box.setEscapeButton(QMessageBox::Ok);
  // Ctrl+C copies the prompt, as message boxes do on Windows.
  QShortcut copy(QKeySequence::Copy, &box);
  QObject::connect(&copy, &QShortcut::activated, &box,
                   [text = box.text()] { QGuiApplication::clipboard()->setText(text); });
  box.exec();
}

void QtWindow::UnloadWindow(Window /*window*/) {
  dispatch_.Unload();
}

bool QtWindow::PressForKey(DialogKey key) {
  std::optional<Control> focused;
  for (const ControlLayout& row : rows_) {
    if (controls_[Index(row.control)] == form_->focusWidget()) focused = row.control;
  }
  const std::optional<Control> button = ButtonForKey(rows_, key, focused);
  auto* target = button ? qobject_cast<QPushButton*>(controls_[Index(*button)]) : nullptr;
  if (target == nullptr || !target->isVisible() || !target->isEnabled()) return false;
  target->click();
  return true;
}

void QtWindow::OnCloseRequest(QCloseEvent& event) {
  const CloseReason reason =
      qGuiApp->isSavingSession() ? CloseReason::Session : CloseReason::ControlMenu;
  event.setAccepted(dispatch_.MayClose(reason));
}

}  // namespace toolkit::qt
