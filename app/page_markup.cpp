// Writes Form2's window as HTML to standard output, for the page's build
// (toolkit/web/make_page.mjs), which puts it into the page so that the
// browser shows the window before the program is compiled.
#include <cstdio>
#include <exception>
#include <string>

#include "toolkit/web/window_markup.h"
#include "ui/form2_layout.h"

int main() {
  try {
    const std::string markup = toolkit::web::WindowMarkup(ui::kForm2Layout);
    return std::fwrite(markup.data(), 1, markup.size(), stdout) == markup.size() ? 0 : 1;
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "page_markup: %s\n", failure.what());
    return 1;
  }
}
