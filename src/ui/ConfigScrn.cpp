#include "ui/ConfigScrn.h"

#include "platform/RunTimeError.h"

namespace orva {

const std::vector<ConfigFrame>& configScrnFrames() {
    static const std::vector<ConfigFrame> frames = {
        {"Frame6",
         "&Anschluß",
         {{"ComPort1", "Com1", 1},
          {"ComPort2", "Com2", 2},
          {"ComPort3", "Com3", 3},
          {"ComPort4", "Com4", 4}}},
        {"Frame1",
         "&Baudrate",
         {{"Baud3", "300"},
          {"Baud6", "600"},
          {"Baud12", "1200"},
          {"Baud24", "2400"},
          {"Baud48", "4800"},
          {"Baud96", "9600"}}},
        {"Frame2", "&Daten Bits", {{"Data7", "7"}, {"Data8", "8"}}},
        {"Frame3", "&Stop Bits", {{"Stop1", "1"}, {"Stop2", "2"}}},
        {"Frame4",
         "&Parität",
         {{"NoParity", "Keine"}, {"OddParity", "Ungerade"}, {"EvenParity", "Gerade"}}},
        {"Frame7", "&Echo", {{"EchoOff", "Off"}, {"EchoOn", "On"}}},
        {"Frame5",
         "Protokoll",
         {{"NoFlow", "kein"},
          {"XonFlow", "Xon/Xoff"},
          {"RTSFlow", "RTS"},
          {"BothFlow", "Xon/RTS"}}},
    };
    return frames;
}

void ConfigScrn::selectOption(const std::string& name) {
    for (const ConfigFrame& frame : configScrnFrames()) {
        for (const ConfigOption& option : frame.options) {
            if (option.name == name) {
                Selection[frame.name] = name;
                if (option.port != 0) {
                    ComPort_Click(option.port);
                }
                return;
            }
        }
    }
}

void ConfigScrn::Form_Load() {
    PortAtOpening = s_.settings.port;
    selectOption("ComPort" + std::to_string(PortAtOpening));
    // Whatever the user chose here last time: the port always runs 9600,N,8,1.
    for (const char* name : {"Baud96", "NoParity", "Data8", "Stop1", "NoFlow", "EchoOff"}) {
        selectOption(name);
    }
}

void ConfigScrn::ComPort_Click(int index) {
    SelectedPort = index;
}

void ConfigScrn::tryPort() {
    SerialControl& comm = module_.platform().comm;
    comm.setPortOpen(true);
    comm.setPortOpen(false);
}

int ConfigScrn::withTrap(const std::function<void()>& steps) {
    try {
        steps();
        return 0;
    } catch (const RunTimeError& e) {
        switch (e.number()) {
        case err::DeviceUnavailable:
            module_.ReportRunTimeError(e);
            break;
        default:
            module_.platform().screen.messageBox(e.description() + "Fehler!" +
                                                 std::to_string(e.number()) +
                                                 " bei Zeile 0 aufgetreten. ");
            break;
        }
        return e.number();
    }
}

void ConfigScrn::OKButton_Click() {
    withTrap([this] {
        module_.platform().comm.setCommPort(SelectedPort);
        s_.settings.port = SelectedPort;
        // Saved before the trial: an unavailable port stays chosen until another one is.
        module_.succeeded(module_.WriteSettings());
        module_.succeeded(module_.ApplyPortSettings());
        tryPort();
        Unloaded = true;
    });
}

void ConfigScrn::CancelButton_Click() {
    const int error = withTrap([this] {
        tryPort();
        Unloaded = true;
    });
    if (error == err::DeviceUnavailable) {
        FocusOKButton = true;
    }
}

} // namespace orva
