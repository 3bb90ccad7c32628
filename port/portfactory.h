#pragma once

class QObject;
class SerialPort;

// Makes the program's port; tests may replace the factory before the main
// window exists (nullptr restores the real backend).
using SerialPortFactory = SerialPort *(*)(QObject *parent);
void setSerialPortFactory(SerialPortFactory factory);
SerialPort *createSerialPort(QObject *parent);
