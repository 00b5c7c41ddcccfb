#include "platform/win32/WindowsInclude.h"

#include "host/TrayCommands.h"

#include <utility>

namespace flicko {

TTrayCommands::TTrayCommands(HINSTANCE instance, HWND window, TTrayAppLink app, const TFiles& files,
                             const IPathExpander& paths)
    : instance_(instance),
      window_(window),
      app_(std::move(app)),
      files_(files),
      menu_(window, static_cast<IPopMnuHost&>(*this), processes_, files, paths) {}

void TTrayCommands::ShowAboutDialog() {
    flicko::ShowAboutDialog(instance_, window_, static_cast<IAboutHost&>(*this), files_, app_.Japanese());
}

}  // namespace flicko
