// Another program holding a COM port: opens the port given as its argument
// through the serial service, writes "open" on a line, and keeps the port
// until its standard input ends. Exits with 1 when the port cannot be opened.
//   hold_serial_port 2
#include <QCoreApplication>

#include <iostream>
#include <string>

#include "serial/qt_serial_port.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: hold_serial_port COM-NUMBER\n";
        return 2;
    }
    serial::QtSerialPort port;
    try {
        port.setPortNumber(std::stoi(argv[1]));
        port.open();
    } catch (const std::exception& error) {
        std::cerr << "hold_serial_port: " << error.what() << '\n';
        return 1;
    }
    std::cout << "open" << std::endl;
    std::string ignored;
    while (std::getline(std::cin, ignored)) {
    }
    port.close();
    return 0;
}
