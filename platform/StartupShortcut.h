// Starting the resident program at logon. Nothing goes into the registry:
// the switch is a shortcut "Flicko.lnk" in the user's Startup folder that
// points at the running program, with the program's folder as its working
// folder. The installer creates and removes the same shortcut.
#pragma once

namespace flicko {

class StartupShortcut {
public:
    virtual ~StartupShortcut() = default;
    // True while the shortcut exists.
    virtual bool IsOn() const = 0;
    // Creates (pointing at the running program) or deletes the shortcut;
    // false when the system refused, the state then is as it was.
    virtual bool SetOn(bool on) = 0;
};

}  // namespace flicko
