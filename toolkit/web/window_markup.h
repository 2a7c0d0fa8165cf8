#pragma once
// The window as HTML, written into the page when the page is built, so that
// the browser shows it at once; the program takes its elements over once it
// is compiled (WebWindow). Only the standard library.
//
// Each layout row becomes an element whose id is ControlName(row.control),
// placed at TwipsToPixels of its twips in CSS pixels:
//   frame        <fieldset class="frame"> with a <legend>, its options inside
//   option       <label class="option"><input type="radio" name=FRAME><span>caption
//   label        <label class="label" for=BUDDY>
//   text box     <input class="field" type="text">
//   push button  <button class="push default|cancel">
// The window is <section class="window"> with its caption bar (an icon
// element that the page's build fills with the icon named by the layout, the
// caption, the close box) and its client area. The first control of the
// focus order has the focus when the page opens.

#include <string>
#include <string_view>

#include "toolkit/window_layout.h"

namespace toolkit::web {

// The markup of `layout`'s window. Throws ToolkitFailure for a layout that
// BuildOrder refuses.
std::string WindowMarkup(const WindowLayout& layout);

// The CSS font of a layout font: its face, the faces that stand in for it,
// then the generic family.
//   {"宋体", 9.75, 400} -> 400 13px "宋体", "SimSun", ..., serif
std::string CssFont(const FontSpec& spec);

// `text` with &, <, > and " written as character references.
std::string EscapeHtml(std::string_view text);

}  // namespace toolkit::web
