// CGeminexApp: the application object. InitInstance sets the settings key, makes the document
// manager, registers the single document template (CGeminexDoc, CMainFrame, CGeminexView, the
// view given the settings store), acts on
// the command line and shows the main window. The application's own commands: About (57664),
// the help book's contents (57670, 57667, 57671 and 57669) and its search (40013); the frame's
// menu commands reach them through the application's event table, so the frame knows nothing
// of the application.
//
// The executable's wxIMPLEMENT_APP (app/main.cpp) creates the one instance; tests create it with
// wxIMPLEMENT_APP_NO_MAIN and drive InitInstance/ExitInstance themselves.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include "engine/text/text_language.h"

class CCommandLineInfo;
class CMainFrame;
class CSettingsStore;
class wxDocManager;
class wxDocTemplate;
class CHelpController;
class wxHtmlHelpController;

class CGeminexApp : public wxApp {
public:
    CGeminexApp();
    ~CGeminexApp() override;

    // wx's start and end: InitInstance with the process's arguments, and ExitInstance.
    bool OnInit() override;
    int OnExit() override;

    // Start-up, step by step in a fixed order; `args` are the command-line arguments without
    // the program name. False when start-up failed (everything made so far is taken down).
    bool InitInstance(const std::vector<std::string>& args);

    // Takes down what InitInstance made: the main window if it still exists, the document
    // manager, the help, the settings store (flushed). Safe to call more than once.
    void ExitInstance();

    // Step 2 of InitInstance: settings of `vendor`'s application (the application title).
    void SetRegistryKey(const std::string& vendor);

    // Step 3: the framework's standard settings: the document manager of a single-document
    // program.
    void LoadStdProfileSettings();

    // Step 5: the main window and the document the command line asks for. False on failure.
    // Folder arguments open the options sheet with them once the window is up.
    bool ProcessShellCommand(const CCommandLineInfo& info);

    // wx's own texts (stock buttons, message boxes, the find dialog): from its zh_CN catalog for
    // a Chinese interface, its own English otherwise.
    void UseToolkitTranslations(TextLanguage language);

    // The language the View menu chose ("zh_CN", "en"; "" when none), kept in the settings and
    // used from the next start.
    std::string ChosenLanguage() const;
    void ChooseLanguage(TextLanguage language);

    // The settings store (nullptr before SetRegistryKey).
    CSettingsStore* GetSettings() const { return m_settings.get(); }
    wxDocManager* GetDocManager() const { return m_docManager; }
    wxDocTemplate* GetDocTemplate() const { return m_docTemplate; }
    CMainFrame* GetMainFrame() const;

    // Help: the bundled help book's contents, and its search (the keyword index, as a search
    // with an empty keyword opens it). False when the book cannot be found.
    bool ShowHelpContents();
    bool ShowHelpSearch();
    // Page `page` of the book (a file name, "masks.html"), the help window centred on the main
    // window when it is made.
    bool ShowHelpPage(const wxString& page);
    // Closes the help window if it is open.
    void CloseHelp();
    // The help controller (nullptr until help was first shown).
    wxHtmlHelpController* GetHelpController() const;

    // The help book (pairscout.hhp): next to the executable in help/ (the build folder), else
    // in the installed data folder relative to the executable (bin/../share/pairscout/help/),
    // else in the source tree. "" when none exists.
    static wxString FindHelpBook();
    // The same search from the executable at `exePath`, without the source tree.
    static wxString FindHelpBookBeside(const wxString& exePath);
    // The help book's folder for the language in use, relative to the executable's or the data
    // folder: "help" (Chinese) or "help/en".
    static wxString HelpBookFolder();

private:
    bool EnsureHelp();
    void OnAppAbout(wxCommandEvent& event);
    void OnHelpContents(wxCommandEvent& event);
    void OnHelpSearch(wxCommandEvent& event);
    void OnMainFrameClose(wxCloseEvent& event);
    void OnViewLanguage(wxCommandEvent& event);
    void OnUpdateViewLanguage(wxUpdateUIEvent& event);

    std::unique_ptr<CSettingsStore> m_settings;
    wxDocManager* m_docManager = nullptr;    // owned; deleted by ExitInstance
    wxDocTemplate* m_docTemplate = nullptr;  // owned by the document manager
    wxWeakRef<wxWindow> m_mainFrame;         // the main frame while it exists
    std::unique_ptr<CHelpController> m_help;
    bool m_helpBookAdded = false;
    bool m_ownTranslations = false;
    TextLanguage m_toolkitLanguage = TextLanguage::kChinese;

    wxDECLARE_EVENT_TABLE();
};

// The running CGeminexApp, or nullptr when the application object is of another class.
CGeminexApp* GetGeminexApp();
