#pragma once

#include "scale/ScaleSettings.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace quarvel {

class ClientContext;
class Prompter;

// The values of the dialog "本机电子磅秤参数设定" and its rules: the start
// character as a character or as 0xNN, the port as "COMn" or a device path,
// the data length limited to 30, saving with its messages, and the text of
// the test weight.
class ScaleSettingsForm {
public:
    struct Values {
        bool enabled = false;
        QString port;     // "COM1"-"COM4" or a device path
        QString baud;     // bits per second
        QString dataBits; // 5-8
        int parity = 0;
        int stopBits = 0;
        int type = 0;
        int transmission = 0;
        QString dataLength;
        QString start; // one character, or 0xNN
    };

    // Settings and the device they name, as the values give them.
    struct Choice {
        ScaleSettings settings;
        QString chosenDevice; // empty: the port index decides
        QString device() const;
    };

    ScaleSettingsForm(ClientContext &context, Prompter &prompter);

    Values &values() { return values_; }
    // The stored settings into the values.
    void Load();
    // "保存设定": all values into the settings and the files; true when saved.
    bool Save();
    // The values as settings for a test of the scale, without saving them;
    // nothing (after a message) when the port or the rate is unusable.
    std::optional<Choice> Current();

    // The port box: COM1-COM4, then this machine's other serial devices.
    static QStringList PortChoices();
    static QStringList BaudChoices();
    static QStringList DataBitsChoices();

    // The start character as the dialog shows it: itself for codes 14-126,
    // else 0xNN.
    static QString StartText(std::uint8_t start);
    // One ASCII character, or 0xNN (hexadecimal, any case); nothing for any
    // other text.
    static std::optional<std::uint8_t> ParseStart(const QString &text);
    // "COMn" gives the port index; a path beginning with "/" is a chosen
    // device. False for any other text.
    static bool ParsePort(const QString &text, int &index, QString &device);
    static std::optional<int> ParseBaud(const QString &text);
    // The test weight box: kilograms "%.3f" for a weight, "0" for zero.
    static QString TestWeightText(int grams);

private:
    std::optional<Choice> read(bool saving);

    ClientContext &context_;
    Prompter &prompter_;
    Values values_;
};

} // namespace quarvel
