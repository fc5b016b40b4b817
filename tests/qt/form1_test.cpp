#include <QAccessible>
#include <QGroupBox>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QSet>
#include <QSignalSpy>
#include <QVersionNumber>
#include <QtTest>

#include "form1_fixture.h"
#include "qt/accessible.h"
#include "worked_examples.h"

using calc::State;
using qtui::pixelRect;
using qtui::qtext;
using window::kForm1Controls;

namespace {

// On its indicator: a click beside a short caption is not a click on the button.
void clickOption(QRadioButton* option) {
  QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(7, option->height() / 2));
}

// What screen readers are sent, as the events it comes from: the name of each
// notification as it shows, each new description of the price box, and whether an option
// was checked as the focus reached it.
struct ScreenReaderEvents : QObject {
  QStringList notifications;
  QStringList priceDescriptions;
  QList<bool> optionCheckedOnFocus;
  explicit ScreenReaderEvents(const qtui::Form1& form) {
    for (QWidget* w : form.findChildren<QWidget*>()) w->installEventFilter(this);
    current = this;
    previousHandler = QAccessible::installUpdateHandler(&updated);
  }
  ~ScreenReaderEvents() override {
    QAccessible::installUpdateHandler(previousHandler);
    current = nullptr;
  }
  static void updated(QAccessibleEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(event->object());
    if (current && box && event->type() == QAccessible::DescriptionChanged) {
      current->priceDescriptions.append(box->accessibleDescription());
    }
    if (previousHandler) previousHandler(event);
  }
  static inline ScreenReaderEvents* current = nullptr;
  static inline QAccessible::UpdateHandler previousHandler = nullptr;
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* widget = static_cast<QWidget*>(object);
    const QAccessible::Role role = QAccessible::queryAccessibleInterface(widget)->role();
    if (event->type() == QEvent::Show && role == QAccessible::Notification) {
      notifications.append(widget->accessibleName());
    }
    if (event->type() == QEvent::FocusIn && role == QAccessible::RadioButton) {
      optionCheckedOnFocus.append(static_cast<QRadioButton*>(widget)->isChecked());
    }
    return false;
  }
};

// Lets Qt deliver what input may have left for later, and says whether it has come: a click
// that a shortcut animates (QAbstractButton::animateClick, 100 ms on, the button held down
// until then), a click on an access key's release (the button held down until then), a
// queued call or a posted event. A button of the test's own, animated after the input, is
// clicked after all of these; so once it is clicked and `button` is up, nothing the input
// left for `button` is still to come. Within 5 seconds, or false. With `buttonUp` false, for
// a key still held, `button` may stay down.
bool deliverWhatIsPending(const QAbstractButton& button, bool buttonUp = true) {
  QPushButton sentinel;
  QSignalSpy sentinelClicks(&sentinel, &QAbstractButton::clicked);
  sentinel.animateClick();
  return QTest::qWaitFor([&] { return !sentinelClicks.isEmpty() && (!buttonUp || !button.isDown()); }, 5000);
}

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { qtui::applyAppearance(); }

  void opensInItsDescribedStartState() {
    ShownForm f;
    QCOMPARE(f.form->objectName(), QStringLiteral("Form1"));
    QCOMPARE(f.form->windowTitle(), QStringLiteral("Form1"));
    QCOMPARE(f.form->size(), QSize(465, 443));
    QCOMPARE(f.form->priceBox()->text(), QString());
    QTRY_COMPARE(QApplication::focusWidget(), f.form->priceBox());
    QVERIFY(f.form->option(State::Pennsylvania)->isChecked());
    QCOMPARE(f.form->taxLabel()->text(), QStringLiteral("0"));
  }

  void placesEveryControlAsDescribed() {
    ShownForm f;
    for (std::size_t row = 0; row < kForm1Controls.size(); ++row) {
      const auto& c = kForm1Controls[row];
      auto* widget = f.control(c.name);
      QVERIFY2(widget, qPrintable(qtext(c.name)));
      QWidget* container = c.container == window::kFormName ? f.form.get() : f.control(c.container);
      QCOMPARE(widget->parentWidget(), qtui::contentsOf(container));
      QCOMPARE(widget->geometry(), pixelRect(row));
    }
    // A frame's controls lie in its contents, which cover it, so they keep their places.
    auto* frame = f.form->findChild<qtui::Frame*>("Frame1");
    QCOMPARE(frame->contents()->geometry(), frame->rect());
    QCOMPARE(f.form->findChild<QPushButton*>("cmdCalculateSalesTax")->geometry(), QRect(288, 176, 81, 33));
    QCOMPARE(f.form->findChild<QGroupBox*>("Frame1")->title(), QStringLiteral("States"));
  }

  // The frame's line as drawn: just below its title on every Qt, whichever rectangle the
  // style hands over for it, and not down by the options.
  void theFramesLineLiesJustBelowItsTitle() {
    ShownForm f;
    auto* frame = f.form->findChild<qtui::Frame*>("Frame1");
    const QImage image = frame->grab().toImage();
    const int background = qGray(frame->palette().color(QPalette::Window).rgb());
    const auto drawn = [&](int x, int y) { return std::abs(qGray(image.pixel(x, y)) - background) > 24; };
    int line = 0;  // the first row drawn halfway across, where the title does not reach
    while (line < image.height() && !drawn(image.width() / 2, line)) ++line;
    int titleBottom = -1;
    for (int y = 0; y < line; ++y) {
      for (int x = 0; x < image.width() / 2; ++x) titleBottom = drawn(x, y) ? y : titleBottom;
    }
    QVERIFY2(titleBottom >= 0, "no title above the line");
    const qreal gap = (line - titleBottom) / image.devicePixelRatio();  // in the layout's pixels
    QVERIFY2(gap <= 10, qPrintable(QStringLiteral("the line is %1 px below the title").arg(gap)));
  }

  void noTwoControlsOverlap() {
    ShownForm f;
    f.form->taxLabel()->setCaption(QStringLiteral("-922337203685477.5808"));
    QList<QWidget*> top;
    for (const auto& c : kForm1Controls) {
      if (c.container == window::kFormName) top.append(f.control(c.name));
    }
    for (int i = 0; i < top.size(); ++i) {
      QVERIFY(f.form->rect().contains(top[i]->geometry()));
      for (int j = i + 1; j < top.size(); ++j) {
        QVERIFY2(!top[i]->geometry().intersects(top[j]->geometry()),
                 qPrintable(top[i]->objectName() + " / " + top[j]->objectName()));
      }
    }
  }

  void computesTheWorkedExamples_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("tax");
    for (const auto& e : testing_support::kWorkedExamples) {
      const QString price = QString::fromUtf16(e.price);
      QTest::addRow("%s %d", qPrintable(price), static_cast<int>(e.state))
          << static_cast<int>(e.state) << price << QString::fromUtf16(e.tax);
    }
  }

  void computesTheWorkedExamples() {
    QFETCH(int, state);
    QFETCH(QString, price);
    QFETCH(QString, tax);
    ShownForm f;
    clickOption(f.form->option(static_cast<State>(state)));
    f.typePriceAndClick(price);
    QCOMPARE(f.form->taxLabel()->text(), tax);
    QCOMPARE(f.form->priceBox()->text(), QString());
    QTRY_COMPARE(QApplication::focusWidget(), f.form->priceBox());
    QVERIFY(f.reporter.headings.empty());
  }

  void accessKeysSelectStatesAndRunTheCommand() {
    ShownForm f;
    const std::pair<Qt::Key, State> keys[] = {{Qt::Key_O, State::Ohio},
                                              {Qt::Key_M, State::Maryland},
                                              {Qt::Key_N, State::NewYork},
                                              {Qt::Key_D, State::Delaware},
                                              {Qt::Key_P, State::Pennsylvania}};
    for (const auto& [key, state] : keys) {
      QTest::keyClick(f.form.get(), key, Qt::AltModifier);
      QTRY_VERIFY(f.form->option(state)->isChecked());
    }
    f.form->priceBox()->setFocus();
    QTest::keyClicks(f.form->priceBox(), QStringLiteral("19.99"));
    QTest::keyClick(f.form.get(), Qt::Key_C, Qt::AltModifier);
    QTRY_COMPARE(f.form->taxLabel()->text(), QStringLiteral("1.1994"));
    QCOMPARE(f.form->priceBox()->text(), QString());
    QTRY_COMPARE(QApplication::focusWidget(), f.form->priceBox());
  }

  void theAccessKeyClicksOnItsRelease() {
    ShownForm f;
    qtui::CommandButton* button = f.form->commandButton();
    QTest::keyClicks(f.form->priceBox(), QStringLiteral("100"));
    QTest::keyPress(f.form.get(), Qt::Key_C, Qt::AltModifier);
    QVERIFY(button->isDown());
    QCOMPARE(f.form->taxLabel()->text(), QStringLiteral("0"));
    QTest::keyRelease(f.form.get(), Qt::Key_C);  // Alt may be let go of first
    QCOMPARE(f.form->taxLabel()->text(), QStringLiteral("6"));
    QVERIFY(!button->isDown());
    QVERIFY(f.reporter.headings.empty());  // one run: a second would have found the box empty
    QCOMPARE(QApplication::focusWidget(), f.form->priceBox());
  }

  // What the access key does held, repeated, with a click while held, with the window lost
  // while held, and with a plain C after it, counted by the reports of an empty price box:
  // each run of the command brings one. "=N": N runs so far.
  void theAccessKeyClicksOnceAKeyIsLetGoOf_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("runs");
    QTest::newRow("Alt+C") << "press release" << 1;
    QTest::newRow("held, repeated as X11 repeats") << "press up-repeat repeat up-repeat repeat =0 release" << 1;
    QTest::newRow("held, pressed again without a repeat's mark") << "press press release" << 1;
    QTest::newRow("a click while held") << "press click =1 repeat release" << 1;
    QTest::newRow("the window lost while held") << "press leave repeat release" << 0;
    QTest::newRow("a plain C typed after Alt+C") << "press release plain-c" << 1;
  }
  void theAccessKeyClicksOnceAKeyIsLetGoOf() {
    QFETCH(QString, steps);
    QFETCH(int, runs);
    ShownForm f;
    qtui::CommandButton* button = f.form->commandButton();
    QWidget other;
    const auto key = [&](bool press, Qt::KeyboardModifiers modifiers, bool repeat) {
      QTest::simulateEvent(f.form.get(), press, Qt::Key_C, modifiers, QStringLiteral("c"), repeat);
    };
    for (const QString& step : steps.split(QLatin1Char(' '))) {
      if (step == QLatin1String("press")) key(true, Qt::AltModifier, false);
      if (step == QLatin1String("repeat")) key(true, Qt::AltModifier, true);
      if (step == QLatin1String("up-repeat")) key(false, Qt::AltModifier, true);
      if (step == QLatin1String("release")) key(false, Qt::AltModifier, false);
      if (step == QLatin1String("plain-c")) QTest::keyClick(f.form->priceBox(), Qt::Key_C);
      if (step == QLatin1String("click")) QTest::mouseClick(button, Qt::LeftButton);
      if (step.startsWith(QLatin1Char('='))) {
        QVERIFY(deliverWhatIsPending(*button, false));
        QCOMPARE(static_cast<int>(f.reporter.headings.size()), step.mid(1).toInt());
      }
      if (step == QLatin1String("leave")) {
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        f.form->activateWindow();  // and back, the key still down
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
      }
    }
    QVERIFY(deliverWhatIsPending(*button));
    QCOMPARE(static_cast<int>(f.reporter.headings.size()), runs);
    QVERIFY(!button->isDown());
  }

  void tabFollowsTheTabIndexes() {
    ShownForm f;
    QTRY_COMPARE(QApplication::focusWidget(), f.form->priceBox());
    QTest::keyClick(f.form->option(State::Ohio), Qt::Key_O, Qt::AltModifier);
    QTRY_VERIFY(f.form->option(State::Ohio)->isChecked());
    f.form->priceBox()->setFocus();
    const QWidget* expected[] = {f.form->option(State::Ohio), f.form->commandButton(),
                                 f.form->priceBox()};
    for (const QWidget* next : expected) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QTRY_COMPARE(QApplication::focusWidget(), next);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QTRY_COMPARE(QApplication::focusWidget(), f.form->commandButton());
  }

  void arrowsMoveWithinTheGroupWhichStaysExclusive() {
    ShownForm f;
    f.form->option(State::Pennsylvania)->setFocus();
    QTest::keyClick(f.form->option(State::Pennsylvania), Qt::Key_Down);
    QTRY_COMPARE(QApplication::focusWidget(), f.form->option(State::Ohio));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    int checked = 0;
    for (const auto& row : calc::kRateTable) checked += f.form->option(row.state)->isChecked();
    QCOMPARE(checked, 1);
    QVERIFY(f.form->option(State::Ohio)->isChecked());
    clickOption(f.form->option(State::NewYork));
    QVERIFY(!f.form->option(State::Ohio)->isChecked());
    QVERIFY(f.form->option(State::NewYork)->isChecked());
  }

  void spaceOnTheButtonRunsTheCommand() {
    ShownForm f;
    QTest::keyClicks(f.form->priceBox(), QStringLiteral("100"));
    f.form->commandButton()->setFocus();
    QTest::keyClick(f.form->commandButton(), Qt::Key_Space);
    QCOMPARE(f.form->taxLabel()->text(), QStringLiteral("6"));
  }

  void enterAndEscapeInThePriceBoxRunNothing() {
    ShownForm f;
    QSignalSpy clicks(f.form->commandButton(), &QPushButton::clicked);
    QTest::keyClicks(f.form->priceBox(), QStringLiteral("100"));
    QTest::keyClick(f.form->priceBox(), Qt::Key_Return);
    QTest::keyClick(f.form->priceBox(), Qt::Key_Enter);
    QTest::keyClick(f.form->priceBox(), Qt::Key_Escape);
    QVERIFY(deliverWhatIsPending(*f.form->commandButton()));
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(f.form->priceBox()->text(), QStringLiteral("100"));
    QCOMPARE(f.form->taxLabel()->text(), QStringLiteral("0"));
    QVERIFY(!f.form->commandButton()->isDefault());
  }

  void resizingMovesNoControl() {
    ShownForm f;
    QList<QRect> before;
    for (const auto& c : kForm1Controls) before.append(f.control(c.name)->geometry());
    for (const QSize size : {QSize(900, 700), QSize(200, 150)}) {
      f.form->resize(size);
      QTRY_COMPARE(f.form->size(), size);
      for (qsizetype i = 0; i < before.size(); ++i) {
        QCOMPARE(f.control(kForm1Controls[static_cast<std::size_t>(i)].name)->geometry(), before[i]);
      }
    }
  }

  // Run under each scale factor by the test suite (QT_SCALE_FACTOR).
  void everyCaptionFitsItsControl() {
    ShownForm f;
    for (const auto& c : kForm1Controls) {
      auto* widget = f.control(c.name);
      const QFontMetrics metrics = widget->fontMetrics();
      QString text;
      if (auto* w = qobject_cast<qtui::CommandButton*>(widget)) text = w->displayedText();
      else if (auto* b = qobject_cast<QAbstractButton*>(widget)) text = b->text();
      else if (auto* l = qobject_cast<QLabel*>(widget)) text = l->text();
      else if (auto* g = qobject_cast<QGroupBox*>(widget)) text = g->title();
      else continue;
      const QSize needed = metrics.size(Qt::TextShowMnemonic, text);
      QVERIFY2(needed.width() <= widget->width(), qPrintable(widget->objectName()));
      QVERIFY2(needed.height() <= widget->height(), qPrintable(widget->objectName()));
      // A widget that must show more than its own size asks for it in its size hint.
      if (!qobject_cast<QGroupBox*>(widget)) {
        QVERIFY2(widget->sizeHint().width() <= widget->width(), qPrintable(widget->objectName() + " size hint"));
      }
    }
    // The button's two lines sit inside its frame.
    auto* button = f.form->commandButton();
    QCOMPARE(button->text(), QStringLiteral("&Calculate Sales Tax"));
    QCOMPARE(button->displayedText(), QStringLiteral("&Calculate\nSales Tax"));
    QVERIFY(button->fontMetrics().size(0, QStringLiteral("Calculate\nSales Tax")).height() <= button->height() - 4);
  }

  void theTaxLabelWidensToShowALargeTax() {
    ShownForm f;
    const int described = f.form->taxLabel()->width();
    QCOMPARE(described, 41);
    clickOption(f.form->option(State::Pennsylvania));
    f.typePriceAndClick(QStringLiteral("357889507328"));
    const QString tax = f.form->taxLabel()->text();
    QCOMPARE(tax, QStringLiteral("21473369959.7128"));
    QVERIFY(f.form->taxLabel()->width() >= f.form->taxLabel()->fontMetrics().horizontalAdvance(tax));
    QCOMPARE(f.form->taxLabel()->geometry().topLeft(), QPoint(288, 128));
    QCOMPARE(f.form->taxLabel()->height(), 17);
    f.typePriceAndClick(QStringLiteral("1"));
    QCOMPARE(f.form->taxLabel()->width(), described);
  }

  void theTaxCanBeSelectedWithoutJoiningTheTabOrder() {
    ShownForm f;
    QVERIFY(f.form->taxLabel()->textInteractionFlags() & Qt::TextSelectableByMouse);
    QVERIFY(!(f.form->taxLabel()->focusPolicy() & Qt::TabFocus));
  }

  void screenReadersHearSensibleNames() {
    ShownForm f;
    const std::pair<QWidget*, QString> expected[] = {
        {f.form.get(), "Form1"},
        {f.form->priceBox(), "Enter Price:"},
        {f.form->taxLabel(), "0"},
        {f.form->findChild<QWidget*>("Frame1"), "States"},
        {f.form->commandButton(), "Calculate Sales Tax"},
        {f.form->option(State::Pennsylvania), "Pennsylvania"},
        {f.form->option(State::NewYork), "New York"}};
    for (const auto& [widget, accessibleName] : expected) {
      QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
      QVERIFY(iface);
      QCOMPARE(iface->text(QAccessible::Name), accessibleName);
    }
    // A window, not a pane; the tax and the price box are labelled by the labels beside them.
    QCOMPARE(QAccessible::queryAccessibleInterface(f.form.get())->role(), QAccessible::Window);
    QCOMPARE(f.control<QLabel>(u"Label1")->buddy(), f.form->taxLabel());
    QCOMPARE(f.control<QLabel>(u"Label2")->buddy(), f.form->priceBox());
  }

  void screenReadersAreToldEveryTaxAndEveryChoice() {
    ShownForm f;
    ScreenReaderEvents events(*f.form);
    f.typePriceAndClick(QStringLiteral("19.99"));
    f.typePriceAndClick(QStringLiteral("19.99"));
    QTest::keyClick(f.form.get(), Qt::Key_C, Qt::AltModifier);  // an error: nothing new to tell
    f.typePriceAndClick(QStringLiteral("100"));
    // Each tax told once: a new description of the focused price box is spoken where Qt
    // sends its text (from 6.8); the notification tells the rest.
    const QStringList told = QLibraryInfo::version() >= QVersionNumber(6, 8)
                                 ? events.priceDescriptions + events.notifications
                                 : events.notifications;
    QCOMPARE(told.size(), 3);
    QCOMPARE(QSet<QString>(told.begin(), told.end()), QSet<QString>({"Sales Tax is: 1.1994", "Sales Tax is: 6"}));
    QCOMPARE(told.count("Sales Tax is: 1.1994"), 2);
    QCOMPARE(f.form->priceBox()->accessibleDescription(), QStringLiteral("Sales Tax is: 6"));

    QTest::keyClick(f.form.get(), Qt::Key_O, Qt::AltModifier);
    QCOMPARE(events.optionCheckedOnFocus, QList<bool>{true});
    // The group is named by its frame, not again as each option's label: the option lies in
    // a nameless filler, the frame's only child, by which the frame is labelled.
    auto* ohio = QAccessible::queryAccessibleInterface(f.form->option(State::Ohio));
    QVERIFY(ohio->relations(QAccessible::Label).isEmpty());
    QCOMPARE(ohio->text(QAccessible::Accelerator), QKeySequence(Qt::ALT | Qt::Key_O).toString(QKeySequence::NativeText));
    QAccessibleInterface* contents = ohio->parent();
    QCOMPARE(contents->role(), QAccessible::Client);
    QCOMPARE(contents->text(QAccessible::Name), QString());
    QAccessibleInterface* frame = contents->parent();
    QCOMPARE(frame->text(QAccessible::Name), QStringLiteral("States"));
    QCOMPARE(frame->childCount(), 1);
    const auto labels = frame->relations(QAccessible::Label);
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.front().first, contents);
  }

  void anErrorLeavesTheLabelAndThePriceAsTheyWere_data() {
    QTest::addColumn<QString>("price");
    QTest::addColumn<int>("number");
    QTest::newRow("empty") << "" << 1;
    QTest::newRow("letters") << "abc" << 1;
    QTest::newRow("too large") << "100000000000000000000" << 2;
  }

  void anErrorLeavesTheLabelAndThePriceAsTheyWere() {
    QFETCH(QString, price);
    QFETCH(int, number);
    ShownForm f;
    f.typePriceAndClick(QStringLiteral("100"));
    QCOMPARE(f.form->taxLabel()->text(), QStringLiteral("6"));
    f.typePriceAndClick(price);
    QCOMPARE(f.reporter.headings, std::vector<std::string>{"Run-time error " + std::to_string(number)});
    QCOMPARE(f.form->taxLabel()->text(), QStringLiteral("6"));
    QCOMPARE(f.form->priceBox()->text(), price);
    // Back in the price box with the text selected, ready to be corrected.
    QTRY_COMPARE(QApplication::focusWidget(), f.form->priceBox());
    QCOMPARE(f.form->priceBox()->selectedText(), price);
  }

  void aControlThatIsGoneIsReportedNotDereferenced_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("message");
    QTest::newRow("tax label") << "lblSalesTax" << "The control lblSalesTax could not show the tax: it no longer exists.";
    QTest::newRow("option") << "optPA" << "The control optPA could not read its value: it no longer exists.";
  }

  void aControlThatIsGoneIsReportedNotDereferenced() {
    QFETCH(QString, control);
    QFETCH(QString, message);
    ShownForm f;
    delete f.form->findChild<QWidget*>(control);
    f.typePriceAndClick(QStringLiteral("100"));
    QCOMPARE(f.reporter.headings, std::vector<std::string>{"Run-time error 4"});
    QCOMPARE(QString::fromStdString(f.reporter.messages.back()), message);
    QCOMPARE(f.form->priceBox()->text(), QStringLiteral("100"));
  }

  void theCommandRunsOnceAtATime() {
    ShownForm f;
    // A click or an access key that reaches the window while the report is up runs nothing.
    f.reporter.whileShown = [&] {
      f.form->commandButton()->click();
      QTest::keyClick(f.form.get(), Qt::Key_C, Qt::AltModifier);
    };
    QTest::keyClick(f.form.get(), Qt::Key_C, Qt::AltModifier);
    QCOMPARE(f.reporter.headings.size(), 1u);
    // The access key's click has run already, and none is left pending to run it again.
    f.reporter.whileShown = nullptr;
    QVERIFY(deliverWhatIsPending(*f.form->commandButton()));
    QCOMPARE(f.reporter.headings.size(), 1u);
  }

  void aControlOfAKindUnknownHereIsAPlainWidgetNotNull() {
    QWidget container;
    window::ControlDescription c = kForm1Controls[window::rowOf(u"Frame1")];
    auto* frame = qobject_cast<qtui::Frame*>(qtui::createPlainControl(c, &container));
    QVERIFY(frame);
    QCOMPARE(frame->title(), QStringLiteral("States"));
    c.kind = static_cast<window::ControlKind>(99);
    QWidget* unknown = qtui::createPlainControl(c, &container);
    QVERIFY(unknown);
    QCOMPARE(unknown->parentWidget(), &container);
  }

  void wrapCaptionBalancesTwoLines() {
    const QFontMetrics metrics(QApplication::font());
    QCOMPARE(qtui::wrapCaption("&Calculate Sales Tax", metrics, 1000), QStringLiteral("&Calculate Sales Tax"));
    const int twoLines = std::max(metrics.size(Qt::TextShowMnemonic, "&Calculate").width(),
                                  metrics.size(0, "Sales Tax").width());
    QCOMPARE(qtui::wrapCaption("&Calculate Sales Tax", metrics, twoLines),
             QStringLiteral("&Calculate\nSales Tax"));
    QCOMPARE(qtui::wrapCaption("a b c", metrics, 1), QStringLiteral("a\nb\nc"));
  }
};

QTEST_MAIN(Form1Test)

#include "form1_test.moc"
