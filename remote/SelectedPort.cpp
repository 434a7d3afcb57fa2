#include "SelectedPort.h"

namespace {

std::string& Port() {
    static std::string port;
    return port;
}

}  // namespace

const std::string& SelectedIrPort() {
    return Port();
}

void SetSelectedIrPort(const std::string& port) {
    Port() = port;
}

bool IsIrPortSelected(const std::string& port) {
    return !port.empty() && port != "COM0";
}
