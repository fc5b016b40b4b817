#include <QAccessible>
#include <QGroupBox>
#include <QSignalSpy>
#include <QtTest>

#include "form1_fixture.h"
#include "window/appearance.h"
#include "window/form1_description.h"

using calc::State;
using window::ControlKind;
using window::kForm1Controls;
using window::pixelsFromTwips;

namespace {

QRect describedRect(const window::ControlDescription& c) {
  return {pixelsFromTwips(c.left), pixelsFromTwips(c.top),
          pixelsFromTwips(c.left + c.width) - pixelsFromTwips(c.left),
          pixelsFromTwips(c.top + c.height) - pixelsFromTwips(c.top)};
}

// On its indicator: a click beside a short caption is not a click on the button.
void clickOption(QRadioButton* option) {
  QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(7, option->height() / 2));
}

QString name(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private slots:
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
    for (const auto& c : kForm1Controls) {
      auto* widget = f.form->findChild<QWidget*>(name(c.name));
      QVERIFY2(widget, c.name.data());
      QCOMPARE(widget->parentWidget()->objectName(), name(c.container));
      QCOMPARE(widget->geometry(), describedRect(c));
    }
    QCOMPARE(f.form->findChild<QPushButton*>("cmdCalculateSalesTax")->geometry(), QRect(288, 176, 81, 33));
    QCOMPARE(f.form->findChild<QGroupBox*>("Frame1")->title(), QStringLiteral("States"));
  }

  void noTwoControlsOverlap() {
    ShownForm f;
    f.form->taxLabel()->setCaption(QStringLiteral("-922337203685477.5808"));
    QList<QWidget*> top;
    for (const auto& c : kForm1Controls) {
      if (c.container == "Form1") top.append(f.form->findChild<QWidget*>(name(c.name)));
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
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("tax");
    QTest::newRow("100 PA") << "optPA" << "100" << "6";
    QTest::newRow("19.99 PA") << "optPA" << "19.99" << "1.1994";
    QTest::newRow("12.5 OH") << "optOH" << "12.5" << "0.625";
    QTest::newRow("10 MD") << "optMD" << "10" << "8";
    QTest::newRow("10 NY") << "optNY" << "10" << "0.75";
    QTest::newRow("-5 PA") << "optPA" << "-5" << "-0.3";
    QTest::newRow("DE") << "optDE" << "123.45" << "0";
    QTest::newRow("huge DE") << "optDE" << "100000000000000000000" << "0";
    QTest::newRow("tie OH") << "optOH" << "8388608" << "419430.4062";
  }

  void computesTheWorkedExamples() {
    QFETCH(QString, option);
    QFETCH(QString, price);
    QFETCH(QString, tax);
    ShownForm f;
    clickOption(f.form->findChild<QRadioButton*>(option));
    f.typePriceAndClick(price);
    QCOMPARE(f.form->taxLabel()->text(), tax);
    QCOMPARE(f.form->priceBox()->text(), QString());
    QTRY_COMPARE(QApplication::focusWidget(), f.form->priceBox());
    QVERIFY(f.reporter.numbers.empty());
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
    QTest::qWait(50);
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(f.form->priceBox()->text(), QStringLiteral("100"));
    QCOMPARE(f.form->taxLabel()->text(), QStringLiteral("0"));
    QVERIFY(!f.form->commandButton()->isDefault());
  }

  void resizingMovesNoControl() {
    ShownForm f;
    QList<QRect> before;
    for (const auto& c : kForm1Controls) before.append(f.form->findChild<QWidget*>(name(c.name))->geometry());
    for (const QSize size : {QSize(900, 700), QSize(200, 150)}) {
      f.form->resize(size);
      QTRY_COMPARE(f.form->size(), size);
      for (qsizetype i = 0; i < before.size(); ++i) {
        QCOMPARE(f.form->findChild<QWidget*>(name(kForm1Controls[static_cast<std::size_t>(i)].name))->geometry(), before[i]);
      }
    }
  }

  // Run under each scale factor by the test suite (QT_SCALE_FACTOR).
  void everyCaptionFitsItsControl() {
    ShownForm f;
    for (const auto& c : kForm1Controls) {
      auto* widget = f.form->findChild<QWidget*>(name(c.name));
      const QFontMetrics metrics = widget->fontMetrics();
      QString text;
      if (auto* w = qobject_cast<window::WrappingButton*>(widget)) text = w->displayedText();
      else if (auto* b = qobject_cast<QAbstractButton*>(widget)) text = b->text();
      else if (auto* l = qobject_cast<QLabel*>(widget)) text = l->text();
      else if (auto* g = qobject_cast<QGroupBox*>(widget)) text = g->title();
      else continue;
      text.remove(QLatin1Char('&'));
      const QSize needed = metrics.size(0, text);
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
        {f.form->priceBox(), "Price"},
        {f.form->taxLabel(), "Sales tax"},
        {f.form->findChild<QWidget*>("Frame1"), "States"},
        {f.form->commandButton(), "Calculate Sales Tax"},
        {f.form->option(State::Pennsylvania), "Pennsylvania"},
        {f.form->option(State::NewYork), "New York"}};
    for (const auto& [widget, accessibleName] : expected) {
      QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
      QVERIFY(iface);
      QCOMPARE(iface->text(QAccessible::Name), accessibleName);
    }
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
    QCOMPARE(f.reporter.numbers, std::vector<int>{number});
    QCOMPARE(f.form->taxLabel()->text(), QStringLiteral("6"));
    QCOMPARE(f.form->priceBox()->text(), price);
    // Back in the price box with the text selected, ready to be corrected.
    QTRY_COMPARE(QApplication::focusWidget(), f.form->priceBox());
    QCOMPARE(f.form->priceBox()->selectedText(), price);
  }

  void aControlThatIsGoneIsReportedNotDereferenced() {
    ShownForm f;
    delete f.form->taxLabel();
    f.typePriceAndClick(QStringLiteral("100"));
    QCOMPARE(f.reporter.numbers, std::vector<int>{4});
    QCOMPARE(f.reporter.messages.back(), std::string("The control lblSalesTax could not show the tax: it no longer exists."));
    QCOMPARE(f.form->priceBox()->text(), QStringLiteral("100"));
  }

  void wrapCaptionBalancesTwoLines() {
    const QFontMetrics metrics(QApplication::font());
    QCOMPARE(window::wrapCaption("&Calculate Sales Tax", metrics, 1000), QStringLiteral("&Calculate Sales Tax"));
    QCOMPARE(window::wrapCaption("&Calculate Sales Tax", metrics, metrics.horizontalAdvance("Calculate") + 1),
             QStringLiteral("&Calculate\nSales Tax"));
    QCOMPARE(window::wrapCaption("a b c", metrics, 1), QStringLiteral("a\nb\nc"));
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  window::applyAppearance(app);
  Form1Test test;
  return QTest::qExec(&test, argc, argv);
}

#include "form1_test.moc"
