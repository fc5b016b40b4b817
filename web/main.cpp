// The page: the module builds the calculator into the document when the page's glue calls
// start(), and the document's events come to the one page through the functions below.
#include <emscripten/bind.h>

#include <memory>

#include "web/form1_page.h"

namespace {

std::unique_ptr<web::Form1Page> page;

void start(emscripten::val host) { page = std::make_unique<web::Form1Page>(host); }
void keyDown(emscripten::val event) { page->onKeyDown(event); }
void keyUp(emscripten::val event) { page->onKeyUp(event); }
void blur(emscripten::val) { page->onBlur(); }
void mouseDown(emscripten::val event) { page->onMouseDown(event); }
void commandClick(emscripten::val) { page->onCommandClick(); }
void reportShown() { page->onReportShown(); }
void reportDismissed(emscripten::val) { page->onReportDismissed(); }
void hideReport() { page->onHideReport(); }

}  // namespace

EMSCRIPTEN_BINDINGS(salestax) {
  emscripten::function("start", &start);
  emscripten::function("keyDown", &keyDown);
  emscripten::function("keyUp", &keyUp);
  emscripten::function("blur", &blur);
  emscripten::function("mouseDown", &mouseDown);
  emscripten::function("commandClick", &commandClick);
  emscripten::function("reportShown", &reportShown);
  emscripten::function("reportDismissed", &reportDismissed);
  emscripten::function("hideReport", &hideReport);
}
