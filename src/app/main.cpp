#include "app/mStartup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistrel"));
    QApplication::setOrganizationName(QStringLiteral("Corvantis"));
    return Main();
}
