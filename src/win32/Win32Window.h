#pragma once

#include "BuildProgress.h"
#include "FileDialogs.h"
#include "SplashToolTip.h"
#include "window/MainWindowPresenter.h"
#include "window/MainWindowView.h"
#include "window/SplashPreviewService.h"

#include <atomic>
#include <optional>
#include <string>
#include <windows.h>

namespace brimble::win32 {

// The Windows face of the window: the dialog made from its resource template, whose events it
// hands to the presenter and whose controls it changes as the presenter asks. It runs as a
// modeless dialog with its own message loop, so that its keys (Ctrl+O anywhere; Delete,
// Insert, Ctrl+Up and Ctrl+Down in the list) come before the dialog's own key handling.
class Win32Window final : public MainWindowView {
public:
    Win32Window(HINSTANCE instance, NameTable& names, GameDatabase& database, std::size_t fileNameCapacity = 32768);
    ~Win32Window() override;

    // Makes the window from its template and runs the start-up sequence; the window is not
    // shown yet. False when the template could not be made into a window.
    bool Create();
    // Shows the window and runs its messages until it ends.
    void Run();
    // Takes the keys of the window from one message before the dialog handles it; true when it
    // was taken. The loop of Run calls it for every message.
    bool TranslateKeys(MSG& message);
    // Handles one message as the loop of Run does.
    void Dispatch(MSG& message);

    HWND Handle() const { return m_window; }
    HWND Control(ControlId id) const;
    bool Ended() const { return m_ended; }
    MainWindowPresenter& Presenter() { return m_presenter; }
    const FileDialogs& Dialogs() const { return m_dialogs; }
    // The extra width, in pixels, of the window with the options panel shown.
    int PanelWidth() const;
    bool PanelShown() const { return m_panelShown; }
    // Whether the controls without a caption carry their names as accessibility annotations.
    bool Annotated() const { return m_annotated; }

    // MainWindowView.
    std::string Text(ControlId id) const override;
    void SetText(ControlId id, const std::string& text) override;
    bool Checked(ControlId id) const override;
    void SetChecked(ControlId id, bool checked) override;
    void SetEnabled(ControlId id, bool enabled) override;
    void SetReadOnly(ControlId id, bool readOnly) override;
    void SetListItems(const std::vector<std::string>& texts) override;
    void AppendListItem(const std::string& text) override;
    void RemoveListItem(int row) override;
    void SetListItemText(int row, const std::string& text) override;
    void SelectListRow(int row) override;
    void ShowPanel(bool shown) override;
    void ShowTotalWarning(bool warn, const std::string& toolTip) override;
    FileDialogAnswer AskFiles(const FileDialogRequest& request) override;
    void ShowMessage(const MessageRequest& request) override;
    bool AskYesNo(const MessageRequest& request) override;
    void ShowBuildProgress(const BuildProgressStep& step) override;
    void EndBuildProgress() override;
    void EndWindow() override;

private:
    // Posted by EndWindow: the window ends once the running handler has returned.
    static constexpr UINT kEndMessage = WM_APP + 1;
    // Posted by the splash preview service's thread: a preview is ready.
    static constexpr UINT kPreviewReadyMessage = WM_APP + 3;
    // Posted on a change of DPI: the button icons follow once the controls have.
    static constexpr UINT kDpiChangedMessage = WM_APP + 2;

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
    static LRESULT CALLBACK ToolTipProc(HWND tips, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self);
    static LRESULT CALLBACK UpDownProc(HWND arrows, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self);
    static LRESULT CALLBACK TitleProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);

    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void StartUp();
    void LoadButtonIcons();
    void AddToolTips();
    void Command(int id, int code);
    bool SystemCommand(WPARAM command);
    void Notify(const NMHDR& header, LPARAM lParam);
    void ToolTipNotify(const NMHDR& header, LPARAM lParam);
    void OpenCommandMenu(POINT at);
    void RunMenuCommand(int command);
    void DropFiles(HDROP drop);
    void End();
    void SetResult(LRESULT result);
    // A message box with the request's text, caption and icon; the button the user pressed.
    int RunMessageBox(const MessageRequest& request, UINT buttons);

    HINSTANCE m_instance;
    MainWindowPresenter m_presenter;
    FileDialogs m_dialogs;
    BuildProgress m_progress;
    HWND m_window = nullptr;
    HWND m_toolTips = nullptr;
    HACCEL m_keys = nullptr;
    HICON m_bigIcon = nullptr;
    HICON m_smallIcon = nullptr;
    HICON m_buttonIcons[3] = {};
    bool m_started = false;
    bool m_ended = false;
    bool m_panelShown = true; // the template is wide
    bool m_totalWarns = false;
    bool m_annotated = false;
    std::wstring m_totalToolTip;
    std::wstring m_splashToolTip;
    SplashToolTipPicture m_splashPicture;
    bool m_splashTipShown = false;
    bool m_splashTipUp = false; // the splash box's tooltip is showing, picture or words
    int m_handlers = 0;         // presenter calls running, with their modal dialogs
    // The window, for the service's thread; none once it is gone.
    std::atomic<HWND> m_previewTarget{nullptr};
    // Last, so that it ends first: its thread may still post to the window.
    SplashPreviewService m_splashPreviews{[this] {
        if (HWND target = m_previewTarget.load())
            ::PostMessageW(target, kPreviewReadyMessage, 0, 0);
    }};
};

} // namespace brimble::win32
