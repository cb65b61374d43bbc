// Capacimo: the launcher of the Ostrel capacity calculator units.
#include <QApplication>

#include "startup.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return capacimo::host::RunCapacimo(app);
}
