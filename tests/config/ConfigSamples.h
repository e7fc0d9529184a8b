#pragma once

#include "config/BoardConfig.h"
#include "config/ConfigImage.h"

#include <QByteArray>

namespace keytoner::test {

// The configuration of the manual's example: outputs 1 and 3 on at power-on, modifier 123,
// checksum ID #, CW reply at 20 WPM with call TEST, timer 10 s, battery check between 11.5 V and
// 13.8 V, command 0 = 11, command 1 = 10, programming port 1.
inline BoardConfig exampleConfig()
{
    BoardConfig config;
    config.chkOutput = {true, false, true, false};
    config.txtSeqCmd = "123";
    config.txtCrcTag = "#";
    config.chkMorse = true;
    config.txtMorseSpeed = "20";
    config.txtCallID = "TEST";
    config.txtTmr2 = "10";
    config.chkBCheck = true;
    config.txtBlo = "11.5";
    config.txtBhi = "13.8";
    config.txtMem[0] = "11";
    config.txtMem[1] = "10";
    config.txtPrgComm = "1";
    return config;
}

// The example's file, byte for byte, with its programming port.
inline QByteArray exampleFile(const QByteArray &port = "1")
{
    QByteArray file =
        "1\r\n0\r\n1\r\n0\r\n\"123\",\"#\",1,\"20\",\"TEST\",\"10\",1,\"11.5\",\"13.8\"\r\n"
        "\"11\"\r\n\"10\"\r\n";
    for (int i = 2; i < 16; ++i)
        file += "\"\"\r\n";
    return file + "\"" + port + "\"\r\n";
}

} // namespace keytoner::test
