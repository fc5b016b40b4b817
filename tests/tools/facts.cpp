// What the process tests need to know of the build, printed from the build itself so that
// no test keeps a copy: one "key value..." line a fact.
//   version NUMBER TEXT          the file version and the version as shown
//   name PRODUCT                 the product name
//   publisher PUBLISHER
//   rate KEY HEXFLOAT            each state's access key and rate, exactly (a Single)
//   example KEY PRICE TAX        each worked example: the state's access key, the price as
//                                typed and the tax as shown
//   client WIDTH HEIGHT          the window's client area in pixels at 96 dpi
//   price_max_length N           the most characters the price box holds
//   control NAME LEFT TOP WIDTH HEIGHT
//                                each control's rectangle in the client area, in pixels at
//                                96 dpi, in the table's order
#include <cstddef>
#include <cstdio>

#include "app/version.h"
#include "calc/rates.h"
#include "runtime/text.h"
#include "window/form1_description.h"
#include "worked_examples.h"

namespace {

// The access key of the state's option button, in lower case, as xdotool names keys.
char accessKeyOf(calc::State state) {
  const char16_t key = window::accessKeyOf(window::kForm1Controls[window::optionRowOf(state)].caption);
  return static_cast<char>(key >= u'A' && key <= u'Z' ? key - u'A' + u'a' : key);
}

}  // namespace

int main() {
  std::printf("version %s %s\n", app::version::kVersionNumber, app::version::kVersionText);
  std::printf("name %s\n", app::version::kProductName);
  std::printf("publisher %s\n", SALESTAX_PUBLISHER);
  for (const calc::RateRow& row : calc::kRateTable) std::printf("rate %c %a\n", accessKeyOf(row.state), static_cast<double>(row.rate));
  for (const auto& e : testing_support::kWorkedExamples) {
    std::printf("example %c %s %s\n", accessKeyOf(e.state), runtime::utf8FromText(e.price).c_str(),
                runtime::utf8FromText(e.tax).c_str());
  }
  const window::PixelSize client = window::clientPixels();
  std::printf("client %d %d\n", client.width, client.height);
  std::printf("price_max_length %d\n", window::kPriceMaxLength);
  for (std::size_t row = 0; row < window::kForm1Controls.size(); ++row) {
    const window::PixelRect r = window::pixelsFromTwips(window::windowTwipsOf(row));
    std::printf("control %s %d %d %d %d\n", runtime::utf8FromText(window::kForm1Controls[row].name).c_str(), r.left, r.top,
                r.width, r.height);
  }
  return 0;
}
