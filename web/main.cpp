// The page's module: the page's glue starts it once the WebAssembly is in (web_start), and the
// document's events come to the one page through web_event (web/dom.js).
#include <emscripten/emscripten.h>

#include <memory>

#include "web/form1_page.h"

namespace {

std::unique_ptr<web::Form1Page> page;

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void web_start() { page = std::make_unique<web::Form1Page>(); }

EMSCRIPTEN_KEEPALIVE void web_event(int listener, int event) {
  if (page) page->on(static_cast<web::Form1Page::Listener>(listener), event);
}

}  // extern "C"
