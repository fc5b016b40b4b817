// Writes the page's markup of the window (form1_markup.h) when the page is built, for
// generators/make_page.py to put into the page:
//   page_markup TITLE_FILE BODY_FILE
#include <cstdio>
#include <fstream>
#include <string>

#include "web/form1_markup.h"

namespace {

bool write(const char* path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: page_markup TITLE_FILE BODY_FILE\n", stderr);
    return 2;
  }
  if (!write(argv[1], web::titleMarkup()) || !write(argv[2], web::form1Markup())) {
    std::fputs("page_markup: could not write the markup\n", stderr);
    return 1;
  }
  return 0;
}
