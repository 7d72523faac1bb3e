#include "ui/application_name.h"

#include <QApplication>

namespace tarvo {

void NameApplication() {
  QApplication::setApplicationName("Tarvo");
}

}  // namespace tarvo
