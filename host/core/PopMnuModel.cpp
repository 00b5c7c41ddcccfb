#include "host/core/PopMnuModel.h"

#include "base/CommandLine.h"
#include "base/Text.h"

namespace flicko {

TCommandText SplitCommandText(std::string_view text) {
    const std::size_t colon = text.find(" : ");
    if (colon == std::string_view::npos) {
        const std::string whole(Trim(text));
        return {whole, whole};
    }
    return {std::string(Trim(text.substr(0, colon))), std::string(Trim(text.substr(colon + 3)))};
}

std::string MenuLabel(const TPopMnu& item) {
    if (item.Kind == EPopMnuKind::Execute || item.Kind == EPopMnuKind::Shell) return SplitCommandText(item.Text).Label;
    return item.Text;
}

IMenuBuilder::TMenuRef BuildPopMnu(const TPopMnuList& list, std::size_t& index, TMenuChecks checks,
                                   IMenuBuilder& builder) {
    const IMenuBuilder::TMenuRef menu = builder.CreatePopup();
    for (; index < list.size(); ++index) {
        const TPopMnu& item = list[index];
        switch (item.Kind) {
        case EPopMnuKind::Menu:
        {
            ++index;
            const IMenuBuilder::TMenuRef sub = BuildPopMnu(list, index, checks, builder);
            builder.AppendSubMenu(menu, sub, item.Text);
            // A sub-menu that ran to the end of the list ends this one too.
            if (index >= list.size()) return menu;
            break;
        }
        case EPopMnuKind::End: return menu;
        case EPopMnuKind::Separator: builder.AppendSeparator(menu); break;
        case EPopMnuKind::Enable: builder.AppendItem(menu, index, item.Text, checks.Enabled); break;
        case EPopMnuKind::Disable: builder.AppendItem(menu, index, item.Text, !checks.Enabled); break;
        case EPopMnuKind::Startup: builder.AppendItem(menu, index, item.Text, checks.StartsAtLogon); break;
        default: builder.AppendItem(menu, index, MenuLabel(item), false); break;
        }
    }
    return menu;
}

EClickPlan PlanClick(const TPopMnuList& list) {
    if (list.empty()) return EClickPlan::Nothing;
    return list.front().Kind == EPopMnuKind::Menu ? EClickPlan::ShowMenu : EClickPlan::RunFirst;
}

void RunPopMnuItem(const TPopMnu& item, IPopMnuHost& host, Processes& processes, const TFiles& files,
                   const IPathExpander& paths) {
    switch (item.Kind) {
    case EPopMnuKind::Enable:
    case EPopMnuKind::Disable: host.SetEnabled(!host.Enabled()); break;
    case EPopMnuKind::ReadIni: host.RequestReloadSettings(); break;
    case EPopMnuKind::ReadScrollDat: host.RequestReloadScrollData(); break;
    // The file may not exist yet (a user's own settings file before its first
    // edit): the editor creates it, but only in a folder that is there.
    case EPopMnuKind::EditIni:
        processes.MakeFolderFor(files.Ini);
        processes.Execute(EditCommandLine(files.Editor, files.Ini));
        break;
    case EPopMnuKind::EditScrollDat:
        host.MakeOwnScrollDat();
        processes.MakeFolderFor(files.ScrollDat);
        processes.Execute(EditCommandLine(files.Editor, files.ScrollDat));
        break;
    case EPopMnuKind::About: host.ShowAboutDialog(); break;
    case EPopMnuKind::Utility: processes.Execute(files.Utility); break;
    case EPopMnuKind::Execute: processes.Execute(paths.ExpandPath(SplitCommandText(item.Text).Command)); break;
    case EPopMnuKind::Shell: processes.ShellOpen(paths.ExpandPath(SplitCommandText(item.Text).Command)); break;
    case EPopMnuKind::Exit: host.RequestExit(); break;
    case EPopMnuKind::Startup: host.SetStartsAtLogon(!host.StartsAtLogon()); break;
    case EPopMnuKind::Menu:
    case EPopMnuKind::End:
    case EPopMnuKind::Separator: break;
    }
}

}  // namespace flicko
