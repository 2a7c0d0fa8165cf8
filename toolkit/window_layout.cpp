#include "toolkit/window_layout.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "toolkit/utf16.h"
#include "toolkit/window_toolkit.h"

namespace toolkit {
namespace {

// 宋体 by its English name, then the Song faces of Linux (Debian's
// fonts-arphic-gbsn00lp) and of macOS and iOS, then faces of the same
// coverage where no Song face is installed. A browser looks up each face
// that is missing, at every size it is asked for: the faces that a system
// lacks come after the one it has, as far as the order allows.
constexpr std::array<std::string_view, 6> kSongSubstitutes{
    "SimSun", "AR PL SungtiL GB", "Songti SC", "STSong", "Noto Serif CJK SC", "Noto Sans CJK SC"};

std::string Name(Control control) { return std::string(ControlName(control)); }

void RequireUtf8(std::string_view text, const std::string& what) {
  if (!Utf8ToUtf16(text)) throw ToolkitFailure(what + " is not valid UTF-8");
}

const ControlLayout* RowOf(std::span<const ControlLayout> rows, Control control) {
  const auto row = std::find_if(rows.begin(), rows.end(),
                                [&](const ControlLayout& r) { return r.control == control; });
  return row == rows.end() ? nullptr : &*row;
}

void CheckRow(const WindowLayout& layout, const ControlLayout& row) {
  const std::span<const ControlLayout> rows = layout.controls;
  RequireUtf8(row.caption, "the caption of " + Name(row.control));
  if ((row.font == FontRole::Label && layout.labelFont.points <= 0) ||
      (row.font == FontRole::Field && layout.fieldFont.points <= 0)) {
    throw ToolkitFailure(Name(row.control) + " is set in a font that the layout does not give");
  }
  if (row.container) {
    const ControlLayout* container = RowOf(rows, *row.container);
    if (container == nullptr || container->kind != ControlKind::Frame || container->container) {
      throw ToolkitFailure(Name(row.control) + " is put into " + Name(*row.container) +
                           ", which is no frame on the window");
    }
  }
  // An option's frame is what makes its group.
  if (row.kind == ControlKind::OptionButton && !row.container) {
    throw ToolkitFailure(Name(row.control) + " is an option outside any frame");
  }
  if (row.buttonRole != ButtonRole::None && row.kind != ControlKind::PushButton) {
    throw ToolkitFailure(Name(row.control) + " has a button role but is no push button");
  }
  if (row.buddy) {
    const ControlLayout* buddy = RowOf(rows, *row.buddy);
    if (row.kind != ControlKind::Label || buddy == nullptr) {
      throw ToolkitFailure(Name(row.control) + " cannot name " + Name(*row.buddy));
    }
    // The label would stand just before the option and split its group.
    if (buddy->kind == ControlKind::OptionButton) {
      throw ToolkitFailure(Name(row.control) + " names " + Name(*row.buddy) + ", an option");
    }
  }
}

// Each frame's options follow one another in the tab order, with nothing
// between them, so that they make one group for the dialog keys.
void CheckGroups(std::span<const ControlLayout> rows, const std::vector<Control>& focusOrder) {
  std::array<bool, kControlCount> groupSeen{};
  const ControlLayout* previous = nullptr;
  for (const Control control : focusOrder) {
    const ControlLayout& row = *RowOf(rows, control);
    const bool continuesGroup = previous != nullptr &&
                                previous->kind == ControlKind::OptionButton &&
                                previous->container == row.container;
    previous = &row;
    if (row.kind != ControlKind::OptionButton || continuesGroup) continue;
    if (std::exchange(groupSeen[Index(*row.container)], true)) {
      throw ToolkitFailure("the options of " + Name(*row.container) +
                           " do not follow one another in the tab order");
    }
  }
}

bool TakesFocus(ControlKind kind) {
  return kind == ControlKind::OptionButton || kind == ControlKind::TextBox ||
         kind == ControlKind::PushButton;
}

}  // namespace

std::vector<std::string_view> FaceFamilies(std::string_view face) {
  std::vector<std::string_view> families{face};
  if (face == "宋体" || face == "SimSun") {
    for (const std::string_view substitute : kSongSubstitutes) {
      if (substitute != face) families.push_back(substitute);
    }
  }
  return families;
}

std::vector<const ControlLayout*> BuildOrder(const WindowLayout& layout) {
  RequireUtf8(layout.caption, "the window's caption");
  RequireUtf8(layout.labelFont.face, "the label font's face");
  RequireUtf8(layout.fieldFont.face, "the field font's face");
  const std::span<const ControlLayout> rows = layout.controls;
  std::array<bool, kControlCount> laidOut{};
  for (const ControlLayout& row : rows) {
    if (Index(row.control) >= kControlCount) throw ToolkitFailure("a row names no control");
    if (std::exchange(laidOut[Index(row.control)], true)) {
      throw ToolkitFailure(Name(row.control) + " is laid out twice");
    }
  }
  for (const ControlLayout& row : rows) CheckRow(layout, row);
  CheckGroups(rows, FocusOrder(rows));

  // Frames stand on the window, so the rows on the window come first.
  std::vector<const ControlLayout*> order;
  for (const ControlLayout& row : rows) {
    if (!row.container) order.push_back(&row);
  }
  for (const ControlLayout& row : rows) {
    if (row.container) order.push_back(&row);
  }
  return order;
}

std::vector<Control> FocusOrder(std::span<const ControlLayout> rows) {
  std::vector<const ControlLayout*> byTabIndex;
  for (const ControlLayout& row : rows) {
    if (TakesFocus(row.kind)) byTabIndex.push_back(&row);
  }
  std::stable_sort(byTabIndex.begin(), byTabIndex.end(),
                   [](const ControlLayout* a, const ControlLayout* b) {
                     return a->tabIndex < b->tabIndex;
                   });
  std::vector<Control> order;
  for (const ControlLayout* row : byTabIndex) order.push_back(row->control);
  return order;
}

std::optional<Control> GroupTabStop(std::span<const ControlLayout> rows, Control frame,
                                    const std::function<bool(Control)>& selected) {
  std::optional<Control> first;
  for (const Control control : FocusOrder(rows)) {
    const ControlLayout& row = *RowOf(rows, control);
    if (row.kind != ControlKind::OptionButton || row.container != frame) continue;
    if (selected(control)) return control;
    if (!first) first = control;
  }
  return first;
}

std::optional<Control> NextTabStop(std::span<const ControlLayout> rows, std::optional<Control> from,
                                   bool forward, const std::function<bool(Control)>& selected,
                                   const std::function<bool(Control)>& enabled) {
  std::vector<Control> order = FocusOrder(rows);
  if (!forward) std::reverse(order.begin(), order.end());
  const auto isStop = [&](Control control) {
    const ControlLayout& row = *RowOf(rows, control);
    if (!enabled(control)) return false;
    return row.kind != ControlKind::OptionButton ||
           GroupTabStop(rows, *row.container, selected) == control;
  };
  const auto start = from ? std::find(order.begin(), order.end(), *from) : order.end();
  const ControlLayout* fromRow = start == order.end() ? nullptr : RowOf(rows, *start);
  // An option's group is left as a whole.
  const auto inFromGroup = [&](Control control) {
    return fromRow != nullptr && fromRow->kind == ControlKind::OptionButton &&
           RowOf(rows, control)->container == fromRow->container;
  };
  const std::size_t count = order.size();
  std::size_t at = fromRow == nullptr ? count - 1 : static_cast<std::size_t>(start - order.begin());
  for (std::size_t step = 0; step < count; ++step) {
    at = (at + 1) % count;
    const Control to = order[at];
    if (isStop(to) && !inFromGroup(to)) return to;
  }
  return std::nullopt;
}

std::optional<Control> ButtonForKey(std::span<const ControlLayout> rows, DialogKey key,
                                    std::optional<Control> focused) {
  const ButtonRole role = key == DialogKey::Enter ? ButtonRole::Default : ButtonRole::Cancel;
  if (key == DialogKey::Enter && focused) {
    const ControlLayout* row = RowOf(rows, *focused);
    if (row != nullptr && row->kind == ControlKind::PushButton) return *focused;
  }
  for (const ControlLayout& row : rows) {
    if (row.buttonRole == role) return row.control;
  }
  return std::nullopt;
}

}  // namespace toolkit
