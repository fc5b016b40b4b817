// The control table's checks refuse tables that break them: each is shown, at compile time,
// a copy of the window's table with one fault put in. A check that could not fail would fail
// the build here.
#include <gtest/gtest.h>

#include "window/form1_description.h"

namespace window {
namespace {

// A copy of the window's table with `change` made to it.
template <class Change>
constexpr auto tableWith(Change change) {
  auto table = kForm1Controls;
  change(table);
  return table;
}
constexpr std::size_t row(std::u16string_view name) { return rowOf(name); }

// Every role once: the tax label, the price box, the command, the frame, an option a state.
static_assert(!everyRoleIsThereOnce(tableWith([](auto& t) { t[row(u"lblSalesTax")].kind = K::Label; })),
              "no tax label");
static_assert(!everyRoleIsThereOnce(tableWith([](auto& t) { t[row(u"Label2")].kind = K::TaxLabel; })),
              "two tax labels");
static_assert(!everyRoleIsThereOnce(tableWith([](auto& t) { t[row(u"Label1")].labels = {}; })),
              "a tax label that no label names");
static_assert(!everyRoleIsThereOnce(tableWith([](auto& t) { t[row(u"Label2")].labels = u"lblSalesTax"; })),
              "a tax label named by two labels");
static_assert(!everyRoleIsThereOnce(tableWith([](auto& t) { t[row(u"txtPrice")].kind = K::Label; })),
              "no price box");
static_assert(!everyRoleIsThereOnce(tableWith([](auto& t) { t[row(u"cmdCalculateSalesTax")].kind = K::Label; })),
              "no command button");
static_assert(!everyRoleIsThereOnce(tableWith([](auto& t) { t[row(u"Label1")].kind = K::Frame; })),
              "two frames");
static_assert(!everyRoleIsThereOnce(tableWith([](auto& t) { t[row(u"optOH")].state = State::Delaware; })),
              "a state without its option, another with two");
static_assert(!everyRoleIsThereOnce(tableWith([](auto& t) { t[row(u"Label2")].kind = K::OptionButton; })),
              "an option button beyond the states");

// Names, tab indexes, the start, containers and labels.
static_assert(!namesAreUnique(tableWith([](auto& t) { t[row(u"Label2")].name = u"Label1"; })));
static_assert(!namesAreUnique(tableWith([](auto& t) { t[row(u"Label2")].name = u""; })));
static_assert(!tabIndexesAreEachUsedOnce(tableWith([](auto& t) { t[row(u"Label2")].tabIndex = 10; })));
static_assert(!tabIndexesAreEachUsedOnce(tableWith([](auto& t) { t[row(u"Label2")].tabIndex = 11; })));
static_assert(!oneOptionIsSelectedAtStart(tableWith([](auto& t) { t[row(u"optPA")].selectedAtStart = false; })));
static_assert(!oneOptionIsSelectedAtStart(tableWith([](auto& t) { t[row(u"optOH")].selectedAtStart = true; })));
static_assert(!oneOptionIsSelectedAtStart(tableWith([](auto& t) {
  t[row(u"optPA")].selectedAtStart = false;
  t[row(u"Label1")].selectedAtStart = true;
})));
static_assert(!containersComeFirst(tableWith([](auto& t) { t[row(u"cmdCalculateSalesTax")].container = u"Frame1"; })));
static_assert(!labelsNameControls(tableWith([](auto& t) { t[row(u"Label2")].labels = u"txtNothing"; })));
static_assert(!labelsNameControls(tableWith([](auto& t) { t[row(u"optPA")].labels = u"txtPrice"; })));

// Access keys: letters or digits, each once, and none on a label.
static_assert(!accessKeysAreUnique(tableWith([](auto& t) { t[row(u"optDE")].caption = u"&Pelaware"; })));
static_assert(!accessKeysAreUnique(tableWith([](auto& t) { t[row(u"optDE")].caption = u"&pennsylvania"; })));
static_assert(!accessKeysAreUnique(tableWith([](auto& t) { t[row(u"Label2")].caption = u"&Enter Price:"; })));
static_assert(!accessKeysAreUnique(tableWith([](auto& t) { t[row(u"optDE")].caption = u"& Delaware"; })));

static_assert(accessKeyIn(u"&Calculate Sales Tax").index == 0 && accessKeyOf(u"&Calculate Sales Tax") == u'C');
static_assert(accessKeyIn(u"New &York").index == 4 && accessKeyOf(u"New &york") == u'Y');
static_assert(accessKeyIn(u"Fish && &Chips").index == 7 && accessKeyOf(u"Fish && &Chips") == u'C');
static_assert(accessKeyIn(u"Fish && Chips").character == 0 && accessKeyOf(u"States") == 0);
static_assert(accessKeyOf(u"Tail&") == 0 && accessKeyOf(u"&1st") == u'1');

TEST(Form1Description, CaptionsAreShownWithoutTheirMarkers) {
  struct Case {
    std::u16string_view markup, shown;
  };
  for (const Case& c : {Case{u"&Calculate Sales Tax", u"Calculate Sales Tax"}, Case{u"New &York", u"New York"},
                        Case{u"Fish && &Chips", u"Fish & Chips"}, Case{u"Tail&", u"Tail&"}, Case{u"", u""}}) {
    EXPECT_EQ(shownCaption(c.markup), c.shown);
    const AccessKey key = accessKeyIn(c.markup);
    if (key.character) {
      EXPECT_EQ(shownCaption(c.markup)[key.index], key.character) << "the key is where it is shown";
    }
  }
}

}  // namespace
}  // namespace window
