#pragma once

#include "app/ORVA_DS.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace orva {

inline constexpr const char* kConfigScrnCaption = "Schnittstellen-Parameter";

struct ConfigOption {
    std::string name; // element name, e.g. "Baud96", "ComPort3"
    std::string caption;
    int port = 0; // 1-4 for the port options, 0 for the display-only ones
};

struct ConfigFrame {
    std::string name;
    std::string caption;
    std::vector<ConfigOption> options;
};

// The seven frames of the dialog with their option buttons, in the order they are shown.
const std::vector<ConfigFrame>& configScrnFrames();

// The serial parameters dialog. Only the port is real: the other frames always show the one
// line setting the program uses.
class ConfigScrn {
public:
    ConfigScrn(ORVA_DS& state, OrvaModule& module) : s_(state), module_(module) {}

    void Form_Load();
    void ComPort_Click(int index);
    void OKButton_Click();
    void CancelButton_Click();
    // The close box. Closes without the port trial, so that a machine without any working
    // port cannot keep the user in the dialog.
    void Form_QueryUnload() { Unloaded = true; }

    // Selects an option as a click on it does: it becomes its frame's selection, and a port
    // option runs its click handler. Every name comes from `configScrnFrames`.
    void selectOption(const std::string& name);

    int PortAtOpening = 0;
    int SelectedPort = 0;                         // the port that OK applies
    std::map<std::string, std::string> Selection; // frame name -> selected option name
    bool Unloaded = false;
    // Set when Cancel found the port in force unavailable: the OK button is to get the focus.
    bool FocusOKButton = false;

private:
    // Runs the steps under the dialog's trap; the number of the error it caught, or 0.
    int withTrap(const std::function<void()>& steps);
    void tryPort();

    ORVA_DS& s_;
    OrvaModule& module_;
};

} // namespace orva
