#include <QApplication>

#include "ui/frm.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ui::frm window;
  window.Form_Load();
  window.show();
  return app.exec();
}
