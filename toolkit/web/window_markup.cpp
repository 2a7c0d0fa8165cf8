#include "toolkit/web/window_markup.h"

#include <vector>

#include "toolkit/controls.h"

namespace toolkit::web {
namespace {

std::string Name(Control control) { return std::string(ControlName(control)); }

std::string Px(int twips) { return std::to_string(TwipsToPixels(twips)) + "px"; }

// The inline style that places `row` and sets its font and pointer.
std::string StyleOf(const ControlLayout& row, const WindowLayout& layout) {
  std::string style = "left:" + Px(row.left) + ";top:" + Px(row.top) + ";width:" + Px(row.width) +
                      ";height:" + Px(row.height);
  if (row.font == FontRole::Label) style += ";font:" + CssFont(layout.labelFont);
  if (row.font == FontRole::Field) style += ";font:" + CssFont(layout.fieldFont);
  if (row.cursor == Cursor::PointingHand) style += ";cursor:pointer";
  return " id=\"" + Name(row.control) + "\" style=\"" + EscapeHtml(style) + "\"";
}

class Writer {
 public:
  Writer(const WindowLayout& layout, std::vector<const ControlLayout*> rows)
      : layout_(layout), rows_(std::move(rows)) {
    const std::vector<Control> order = FocusOrder(layout.controls);
    if (!order.empty()) firstStop_ = order.front();
  }

  std::string Window() {
    // Busy until the program has taken it over (page.js).
    std::string html = "<section class=\"window\" aria-labelledby=\"caption\" aria-busy=\"true\">";
    html += "<div class=\"titlebar\"><span class=\"icon\" data-icon=\"" + EscapeHtml(layout_.icon) +
            "\"></span><span class=\"caption\" id=\"caption\">" + EscapeHtml(layout_.caption) +
            "</span><button class=\"close-box\" type=\"button\" tabindex=\"-1\" title=\"关闭\" "
            "aria-label=\"关闭\"><svg viewBox=\"0 0 10 10\" aria-hidden=\"true\">"
            "<path d=\"M0 0L10 10M10 0L0 10\"/></svg></button></div>";
    html += "<div class=\"client\" style=\"width:" + Px(layout_.clientWidth) +
            ";height:" + Px(layout_.clientHeight) + "\">";
    for (const ControlLayout* row : rows_) {
      if (!row->container) html += Element(*row);
    }
    return html + "</div></section>";
  }

 private:
  std::string Element(const ControlLayout& row) {
    const std::string caption = EscapeHtml(row.caption);
    const std::string focus = row.control == firstStop_ ? " autofocus" : "";
    switch (row.kind) {
      case ControlKind::Frame: {
        std::string html = "<fieldset class=\"frame\"" + StyleOf(row, layout_) + "><legend>" +
                           caption + "</legend>";
        for (const ControlLayout* inner : rows_) {
          if (inner->container == row.control) html += Element(*inner);
        }
        return html + "</fieldset>";
      }
      case ControlKind::OptionButton:
        return "<label class=\"option\"" + StyleOf(row, layout_) +
               "><input type=\"radio\" name=\"" + Name(*row.container) + "\"" + focus +
               "><span>" + caption + "</span></label>";
      case ControlKind::Label: {
        const std::string names = row.buddy ? " for=\"" + Name(*row.buddy) + "\"" : "";
        return "<label class=\"label\"" + names + StyleOf(row, layout_) + ">" + caption +
               "</label>";
      }
      case ControlKind::TextBox:
        return "<input class=\"field\" type=\"text\" value=\"" + caption +
               "\" autocomplete=\"off\" spellcheck=\"false\"" + StyleOf(row, layout_) + focus +
               ">";
      case ControlKind::PushButton: {
        const std::string role = row.buttonRole == ButtonRole::Default  ? " default"
                                 : row.buttonRole == ButtonRole::Cancel ? " cancel"
                                                                        : "";
        return "<button class=\"push" + role + "\" type=\"button\"" + StyleOf(row, layout_) +
               focus + ">" + caption + "</button>";
      }
    }
    return {};
  }

  const WindowLayout& layout_;
  const std::vector<const ControlLayout*> rows_;
  std::optional<Control> firstStop_;
};

}  // namespace

std::string WindowMarkup(const WindowLayout& layout) {
  return Writer(layout, BuildOrder(layout)).Window();
}

std::string CssFont(const FontSpec& spec) {
  std::string font =
      std::to_string(spec.weight) + " " + std::to_string(PointsToPixels(spec.points)) + "px";
  const char* separator = " ";
  for (const std::string_view family : FaceFamilies(spec.face)) {
    font += separator;
    font += '"';
    for (const char c : family) {
      if (c == '"' || c == '\\') font += '\\';
      font += c;
    }
    font += '"';
    separator = ", ";
  }
  return font + ", serif";
}

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace toolkit::web
