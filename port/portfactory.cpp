#include "port/portfactory.h"

#include "port/anyport.h"

namespace {

SerialPortFactory g_factory = nullptr;

} // namespace

void setSerialPortFactory(SerialPortFactory factory)
{
    g_factory = factory;
}

SerialPort *createSerialPort(QObject *parent)
{
    if (g_factory)
        return g_factory(parent);
    return new AnyPort(parent);
}
