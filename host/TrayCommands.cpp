#include "platform/win32/WindowsInclude.h"

#include "host/TrayCommands.h"

#include <utility>

namespace flicko {

TTrayCommands::TTrayCommands(HINSTANCE instance, HWND window, TResidentApp& app, std::function<void()> wakeLoop)
    : window_(window),
      app_(app),
      wakeLoop_(std::move(wakeLoop)),
      menu_(window, static_cast<IPopMnuHost&>(*this), processes_, app.Settings().Files(), app.Macros()),
      about_(instance, window, static_cast<IAboutHost&>(*this)) {}

void TTrayCommands::ShowAboutDialog() {
    about_.Show(app_.Settings().Files(), app_.Settings().Values().Ja);
}

}  // namespace flicko
