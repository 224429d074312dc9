#pragma once

#include <cstdint>
#include <string>

#include "support/Bool.h"

// Control bytes of the instrument's frames.
inline constexpr char STX = 0x02;
inline constexpr char ETX = 0x03;
inline constexpr char CR = 0x0D;

// The abstract serial device: line settings, time-out, read terminator and last error text,
// the transport operations that a port class supplies, and, built once on top of them, the
// instrument protocol (framed writes, the framed reply reader, the identification queries).
//
// Virtual operations are declared in a fixed order and call each other through virtual
// dispatch, so overriding an inner operation changes the outer ones. A text is a std::string
// of 8-bit characters that may hold any byte value, zero included.
class SerialDevice {
public:
    SerialDevice() = default;
    virtual ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // Port naming and opening.
    virtual int GetPortCount();
    virtual std::string GetPortName(int nPort);
    virtual std::string GetPortDeviceName(int nPort);
    virtual BOOL InitSerial(int nPort, int nReceiveQueue, int nSendQueue);
    virtual BOOL InitSerial(int nPort);
    virtual BOOL CloseSerial();

    // Line settings; the setters only store, ChangeBaudRate applies them to an open port.
    virtual int GetBaudRate();
    virtual void SetBaudRate(int nBaudRate);
    virtual char GetParity();
    virtual void SetParity(char cParity);
    virtual int GetDataBits();
    virtual void SetDataBits(int nDataBits);
    virtual int GetStopBits();
    virtual void SetStopBits(int nStopBits);
    virtual BOOL ChangeBaudRate();
    virtual std::string GetBaudRateList();

    virtual int GetTimeout();
    virtual void SetTimeout(int nTimeoutMs);
    virtual char GetTerminator();
    virtual void SetTerminator(char cTerminator);

    // Reading and writing.
    virtual int ReadString(std::string& str);
    virtual int ReadBytes(unsigned char* pBuffer, int nCount);
    virtual int ReadKelvaStringCR(std::string& strOut);
    virtual int ReadKelvaStringNoCR(std::string& strOut);
    virtual BOOL WriteString(const std::string& str);
    virtual BOOL WriteBytes(const unsigned char* pBuffer, int nCount);
    virtual BOOL WriteKelvaStringCR(const std::string& strCommand);
    virtual BOOL WriteKelvaStringNoCR(const std::string& strCommand);

    // Identification queries.
    virtual std::string AskForInstrumentType();
    virtual std::string AskForWasherType();

    // Queues.
    virtual int GetInputCount();
    virtual int GetOutputCount();
    virtual BOOL PurgeInput();
    virtual BOOL PurgeOutput();

    // Last error text.
    virtual std::string GetLastErrorText();
    virtual void ClearLastErrorText();
    virtual void SetLastErrorText(const std::string& strText);

    virtual int ReadKelvaString(std::string& strOut, BOOL bExpectCR);
    virtual int CopyToBuffer(unsigned char* pBuffer, const std::string& str);
    virtual int GetPortNumber();
    virtual void SetPortNumber(int nPort);

    // Our addition, after the operations above: whether the open port has gone (unplugged,
    // powered off, hung up) and why. While it is lost every transfer fails at once; the next
    // InitSerial starts afresh. The base device never loses its link.
    virtual BOOL IsLinkLost();
    virtual std::string GetLinkLostReason();

protected:
    std::int32_t m_nPortNumber = 0;
    std::int32_t m_nBaudRate = 9600;
    char m_cParity = 'N';
    std::int32_t m_nDataBits = 8;
    std::int32_t m_nStopBits = 1;
    std::int32_t m_nTimeout = 600;
    char m_cTerminator = ETX;
    std::string m_strLastError;
};
