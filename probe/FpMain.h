// The probe's main form: the panels, splitters, check boxes, tree view and
// the two text boxes, filled from the probe core. Everything the form shows
// is decided by the core (layout, texts, the probe itself); this side only
// creates the windows, moves them and puts texts into them.
#pragma once

#include "platform/win32/WindowsInclude.h"

#include <memory>
#include <string>
#include <vector>

#include "platform/Environment.h"
#include "platform/ProfileFile.h"
#include "platform/win32/MessageBoxErrorReport.h"
#include "platform/win32/ScopedHandle.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Processes.h"

#include <commctrl.h>

#include "probe/FpSplitter.h"
#include "probe/core/FpIniReader.h"
#include "probe/core/Probe.h"
#include "rules/SclDats.h"
#include "rules/UserRules.h"
#include "settings/PathMacros.h"

namespace flicko {

// Control identifiers; the test tool finds the controls by them.
enum TFpControlId : int {
    kIdChkEnable = 101,
    kIdChkLBtn = 102,
    kIdChkRBtn = 103,
    kIdChkMBtn = 104,
    kIdLblCursorPos = 105,
    kIdChkWndsTree = 106,
    kIdTreWndsTree = 107,
    kIdChkSclDat = 108,
    kIdBtnEdit = 109,
    kIdBtnRead = 110,
    kIdBtnCopy = 111,
    kIdTxtSclDat = 112,
    kIdTxtSclDatRes = 113,
    kIdChkScl = 114,
    kIdCmbSubject = 115,
    kIdBtnLeaveAlone = 116,
    kIdBtnScrollByWheel = 117,
    kIdBtnScrollByLines = 118,
    kIdBtnUndo = 119,
};

class TFProbeForm final : private IProbeView, private IProbeTimer {
public:
    explicit TFProbeForm(HINSTANCE instance);
    ~TFProbeForm() override;
    TFProbeForm(const TFProbeForm&) = delete;
    TFProbeForm& operator=(const TFProbeForm&) = delete;

    // Creates the form and runs the start-up sequence; false when the form
    // itself cannot be created.
    bool Create(int showCommand);
    // Returns the exit code carried by WM_QUIT.
    int Run();

    // Messages of the form window (see WindowProcOf).
    LRESULT HandleWindowMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK PanelProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static VOID CALLBACK TimerProc(HWND wnd, UINT msg, UINT_PTR id, DWORD time);
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);

    void StartUp();
    void CreateControls();
    HWND Panel(HWND parent, bool bevel);
    HWND Control(HWND parent, const char* cls, const char* text, DWORD style, int id, int x, int y, int w, int h);
    void ApplyLayout();
    void ApplyGeometry();
    // Fonts and the fixed controls for the scale of the form's monitor.
    void ApplyDpi(int dpi);
    void OnDpiChanged(int dpi, const RECT& suggested);
    void FormDestroy();

    void SetCheckEnable(bool b);
    void SetCheckScroll(bool b);
    void SetCheckScrollData(bool b);
    void SetCheckWindowsTree(bool b);
    static void SetBox(HWND box, bool b);
    static bool Checked(HWND box);

    void OnCommand(int id);
    void OnTreeExpanding(const NM_TREEVIEWA& nm);
    void LoadScrollData();
    void ReloadProbeScrollData();
    void EditScrollData();
    void CopyToClipboard();
    // The rule actions for the window the views show: its program and its
    // class as the subjects, the buttons enabled by what the file holds.
    void UpdateRuleActions();
    void TakeRuleAction(ERuleAction action);
    void UndoRuleAction();
    // After a write: the probe's own rules read again, the window's rule shown.
    void RulesWritten();
    void InsertNodes(HTREEITEM parent, const TTreeNode& node, HTREEITEM& selected);

    // IProbeView
    void ShowCursorPos(const std::string& text) override;
    void ShowWindowTree(const TWindowTree& tree) override;
    void ShowScrollData(const std::string& text) override;
    void ShowScrollResult(const std::string& text) override;
    // IProbeTimer
    bool SetTimer(Millis interval) override;
    void KillTimer() override;

    HINSTANCE instance_;
    HWND form_ = nullptr;
    HWND pnlSystem_ = nullptr, chkEnable_ = nullptr, chkLBtn_ = nullptr, chkRBtn_ = nullptr, chkMBtn_ = nullptr,
         lblCursorPos_ = nullptr;
    HWND pnlWndsTree_ = nullptr, pnlWndsTreeHead_ = nullptr, chkWndsTree_ = nullptr, treWndsTree_ = nullptr;
    HWND pnlSclDat_ = nullptr, pnlSclDatHead_ = nullptr, chkSclDat_ = nullptr, btnEdit_ = nullptr,
         btnRead_ = nullptr, btnCopy_ = nullptr, txtSclDat_ = nullptr, txtSclDatRes_ = nullptr,
         pnlSclDatFoot_ = nullptr, chkScl_ = nullptr;
    HWND cmbSubject_ = nullptr, btnLeaveAlone_ = nullptr, btnScrollByWheel_ = nullptr, btnScrollByLines_ = nullptr,
         btnUndo_ = nullptr;
    // The window the rule actions are for, and its two subjects' names
    // (program, window class; empty when unknown or not writable).
    Hwnd actionWindow_ = kNoWindow;
    std::string subjectNames_[2];
    TFpSplitter* splitter1_ = nullptr;
    TFpSplitter* splitter2_ = nullptr;
    ScopedHandle<FontTraits> font_;
    // Every size of the form is in pixels of its monitor, at this DPI; the
    // controls that sit at fixed places keep theirs at 96 dpi.
    int dpi_ = 96;
    struct TFixedControl {
        HWND Window;
        Rect At96;
    };
    std::vector<TFixedControl> fixed_;
    std::vector<HWND> texts_;  // every window that takes the form's font
    UINT_PTR timerId_ = 0;
    std::int32_t treeWidth_ = 278;
    std::int32_t sclDatHeight_ = 236;

    Win32Desktop desktop_;
    std::unique_ptr<Environment> environment_ = MakeSystemEnvironment();
    std::unique_ptr<ProfileFiles> profiles_ = MakeSystemProfileFiles();
    TPathMacros macros_{*environment_};
    // Reading errors offer the debugger of the settings in force, the same
    // box and command as the resident program's.
    Win32Processes processes_;
    TMessageBoxErrorReport report_{processes_, [this] { return settings_.Files().Debugger; }};
    TFpSettings settings_{*profiles_, macros_, report_};
    TRuleModel model_;
    TUserRuleEditor ruleEditor_{*profiles_, macros_, report_};
    std::unique_ptr<TProbe> probe_;
};

}  // namespace flicko
