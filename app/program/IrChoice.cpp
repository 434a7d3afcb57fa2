#include "app/program/IrChoice.h"

#include <QStringList>
#include <cstring>

#include "platform/sim/SimProfile.h"

QString IrChoice::Description() const {
    if (!lirc) {
        return QStringLiteral("simulated %1").arg(QString::fromStdString(chip));
    }
    QString text = QStringLiteral("LIRC %1").arg(QString::fromStdString(transmitter));
    if (!receiver.empty() && receiver != transmitter) {
        text += QStringLiteral(", %1").arg(QString::fromStdString(receiver));
    }
    return text;
}

std::string IrChoice::Port() const {
    return "lirc:" + transmitter +
           (receiver.empty() || receiver == transmitter ? std::string() : "," + receiver);
}

bool LircPortDevices(const std::string& port, std::string& transmitter, std::string& receiver) {
    if (!port.starts_with("lirc:") || port.size() <= 5) {
        return false;
    }
    const std::string devices = port.substr(5);
    const size_t comma = devices.find(',');
    transmitter = devices.substr(0, comma);
    receiver = comma == std::string::npos ? transmitter : devices.substr(comma + 1);
    return !transmitter.empty();
}

std::vector<std::string> LircSetupEntries(LircDevice& probe, const LircRoots& roots) {
    std::vector<std::string> entries;
    for (const LircDeviceInfo& device : ListLircDevices(probe, roots, {})) {
        if (device.openError == 0 && (device.CanSend() || device.CanReceive())) {
            entries.push_back("lirc:" + device.path + " " +
                              (device.driverName.empty() ? "LIRC" : device.driverName) + ": " +
                              device.FeatureList());
        }
    }
    return entries;
}

bool ParseIrChoice(const QString& value, IrChoice& choice, QString& error) {
    const QString kind = value.section(':', 0, 0);
    const QString rest = value.contains(':') ? value.section(':', 1) : QString();
    if (kind == "sim") {
        choice.lirc = false;
        if (!rest.isEmpty()) {
            if (!FindSimProfile(rest.toStdString())) {
                error = QStringLiteral("unknown handheld %1 (one of %2)")
                            .arg(rest, QString::fromStdString(SimProfileIds()));
                return false;
            }
            choice.chip = rest.toStdString();
        }
        return true;
    }
    if (kind == "lirc") {
        choice.lirc = true;
        const QStringList paths = rest.split(',');
        if (value.contains(':') && (rest.isEmpty() || paths.size() > 2 || paths[0].isEmpty())) {
            error = QStringLiteral("--ir lirc:TRANSMITTER[,RECEIVER] needs a device path");
            return false;
        }
        choice.transmitter = rest.isEmpty() ? std::string() : paths[0].toStdString();
        choice.receiver = paths.size() > 1 ? paths[1].toStdString() : choice.transmitter;
        return true;
    }
    error = QStringLiteral("--ir takes sim, sim:CHIP, lirc or lirc:TRANSMITTER[,RECEIVER], not %1")
                .arg(value);
    return false;
}

bool ChooseIr(const QString& value, const std::string& chip, LircDevice& probe,
              const LircRoots& roots, IrChoice& choice, QString& error) {
    choice = IrChoice{};
    choice.chip = chip;
    if (!value.isEmpty() && !ParseIrChoice(value, choice, error)) {
        return false;
    }
    if (!value.isEmpty() && (!choice.lirc || !choice.transmitter.empty())) {
        return true;  // chosen in full
    }
    std::string transmitter, receiver;
    for (const LircDeviceInfo& device : ListLircDevices(probe, roots, {})) {
        if (device.openError != 0) {
            continue;
        }
        if (transmitter.empty() && device.CanSend()) {
            transmitter = device.path;
        }
        if (receiver.empty() && device.CanReceive()) {
            receiver = device.path;
        }
    }
    if (transmitter.empty()) {
        if (choice.lirc) {
            error = QStringLiteral("no LIRC device that can send was found");
            return false;
        }
        return true;  // the simulated handheld
    }
    choice.lirc = true;
    choice.transmitter = transmitter;
    choice.receiver = receiver;
    return true;
}

bool LircPortUsable(const std::string& port, LircDevice& probe, std::string& why) {
    std::string transmitter, receiver;
    if (!LircPortDevices(port, transmitter, receiver)) {
        return true;
    }
    const LircDeviceInfo device = ProbeLircDevice(probe, transmitter);
    if (device.openError != 0) {
        why = std::strerror(device.openError);
        return false;
    }
    if (!device.CanSend()) {
        why = "it cannot send";
        return false;
    }
    return true;
}
