// The baseline for the start-up benchmark: a bare Qt Widgets window of the calculator's size.
#include <QApplication>
#include <QWidget>

int main(int, char** argv) {
  int argc = 1;
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Form1"));
  window.resize(465, 443);
  window.show();
  return app.exec();
}
