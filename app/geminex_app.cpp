#include "app/geminex_app.h"

#include <clocale>

#include <wx/docview.h>
#include <wx/filename.h>
#include <wx/html/helpctrl.h>
#include <wx/intl.h>
#include <wx/translation.h>
#include <wx/uilocale.h>
#include <wx/stdpaths.h>

#include "gui/command_ids.h"
#include "app/command_line_info.h"
#include "app/geminex_doc_template.h"
#include "app/help_controller.h"
#include "gui/window_platform.h"
#include "app/main_frame.h"
#include "gui/message_box.h"
#include "gui/settings_store.h"
#include "engine/text/string_table.h"
#include "gui/wx_text.h"
#include "engine/text/text_helpers.h"
#include "results/geminex_view.h"
#include "ui/about_dlg.h"

// The help book made in the build folder.
#ifndef PAIRSCOUT_HELP_BUILT_DIR
#define PAIRSCOUT_HELP_BUILT_DIR ""
#endif
// The installed data folder seen from the installed executable's folder.
#ifndef PAIRSCOUT_DATA_FROM_BIN
#define PAIRSCOUT_DATA_FROM_BIN "../share/pairscout"
#endif

// clang-format off
wxBEGIN_EVENT_TABLE(CGeminexApp, wxApp)
    EVT_MENU(WxId(cmd::ID_APP_ABOUT), CGeminexApp::OnAppAbout)
    EVT_MENU(WxId(cmd::ID_HELP), CGeminexApp::OnHelpContents)
    EVT_MENU(WxId(cmd::ID_HELP_FINDER), CGeminexApp::OnHelpContents)
    EVT_MENU(WxId(cmd::ID_DEFAULT_HELP), CGeminexApp::OnHelpContents)
    // There is no per-window help in the book; its contents serve.
    EVT_MENU(WxId(cmd::ID_CONTEXT_HELP), CGeminexApp::OnHelpContents)
    EVT_MENU(WxId(cmd::ID_HELP_SEARCH), CGeminexApp::OnHelpSearch)
    EVT_MENU(WxId(cmd::ID_VIEW_LANGUAGE_CHINESE), CGeminexApp::OnViewLanguage)
    EVT_MENU(WxId(cmd::ID_VIEW_LANGUAGE_ENGLISH), CGeminexApp::OnViewLanguage)
    EVT_UPDATE_UI(WxId(cmd::ID_VIEW_LANGUAGE_CHINESE), CGeminexApp::OnUpdateViewLanguage)
    EVT_UPDATE_UI(WxId(cmd::ID_VIEW_LANGUAGE_ENGLISH), CGeminexApp::OnUpdateViewLanguage)
wxEND_EVENT_TABLE()
// clang-format on

CGeminexApp* GetGeminexApp() { return wxDynamicCast(wxTheApp, CGeminexApp); }

CGeminexApp::CGeminexApp() = default;

CGeminexApp::~CGeminexApp() { ExitInstance(); }

bool CGeminexApp::OnInit() {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(WxToUtf8(argv[i]));
    return InitInstance(args);
}

int CGeminexApp::OnExit() {
    ExitInstance();
    return wxApp::OnExit();
}

bool CGeminexApp::InitInstance(const std::vector<std::string>& args) {
    // The user's locale: wx leaves the process in the C locale, so without this the dates,
    // GTK's own dialogs and buttons and the system's error texts would ignore the user's
    // language (the command line does the same in its main).
    std::setlocale(LC_ALL, "");
    wxUILocale::UseDefault();

    // 1. Control container: nothing to enable on this toolkit.

    // 2. Every setting lives under the company's key, then the application title (the same
    // texts in every language).
    SetRegistryKey(LoadOriginalText(IDS_REGISTRY_KEY));

    // The interface's language: PAIRSCOUT_LANG, else the View menu's choice, else the
    // desktop's; wx's own dialogs and buttons follow it.
    UseToolkitTranslations(UseUserTextLanguage(ChosenLanguage()));

    // 3. The framework's standard settings: the document manager (no recent-file list, as no
    // menu shows one).
    LoadStdProfileSettings();

    // 4. The single document template (resource 128): document, frame and view.
    m_docTemplate = new CGeminexDocTemplate(
        m_docManager, Utf8ToWx(LoadStringField(cmd::IDR_MAINFRAME, 6)), "*",
        Utf8ToWx(LoadStringField(cmd::IDR_MAINFRAME, 4)),
        Utf8ToWx(LoadStringField(cmd::IDR_MAINFRAME, 5)), *m_settings);

    // 5. The command line: with no arguments a new document, its frame and its view.
    CCommandLineInfo cmdInfo;
    cmdInfo.ParseCommandLine(args);
    if (!ProcessShellCommand(cmdInfo)) {
        ExitInstance();
        return false;
    }

    // 6. Show the main window.
    if (CMainFrame* frame = GetMainFrame()) {
        frame->Show(true);
        frame->Update();
    }
    return true;
}

void CGeminexApp::SetRegistryKey(const std::string& vendor) {
    const std::string application = LoadOriginalText(IDS_APP_TITLE);
    SetVendorName(Utf8ToWx(vendor));
    SetAppName(Utf8ToWx(application));
    SetAppDisplayName(Utf8ToWx(application));
    m_settings.reset(new CSettingsStore(vendor, application));
}

void CGeminexApp::LoadStdProfileSettings() {
    if (m_docManager == nullptr) {
        m_docManager = new wxDocManager;
        m_docManager->SetMaxDocsOpen(1);  // a single-document program
    }
}

bool CGeminexApp::ProcessShellCommand(const CCommandLineInfo& info) {
    // There are no shell file types to (un)register on this platform; the program ends after
    // the (un)registration all the same.
    if (info.m_nShellCommand == CCommandLineInfo::AppRegister ||
        info.m_nShellCommand == CCommandLineInfo::AppUnregister) {
        return false;
    }

    auto* frame = new CMainFrame;
    if (!frame->Create(m_docManager)) {
        if (!frame->IsBeingDeleted()) delete frame;
        return false;
    }
    m_mainFrame = frame;
    SetTopWindow(frame);
    frame->Bind(wxEVT_CLOSE_WINDOW, &CGeminexApp::OnMainFrameClose, this);

    wxDocument* doc = nullptr;
    switch (info.m_nShellCommand) {
        case CCommandLineInfo::FileOpen:
        case CCommandLineInfo::FilePrint:
        case CCommandLineInfo::FilePrintTo:
            doc = m_docManager->CreateDocument(Utf8ToWx(info.m_strFileName), wxDOC_SILENT);
            break;
        default:
            doc = m_docManager->CreateNewDocument();
            break;
    }
    if (doc == nullptr) {
        frame->Destroy();
        return false;
    }

    if (info.m_nShellCommand == CCommandLineInfo::FilePrint ||
        info.m_nShellCommand == CCommandLineInfo::FilePrintTo) {
        // Print without asking, then end.
        frame->ExecuteCommand(WxId(cmd::ID_FILE_PRINT_DIRECT));
        return false;
    }

    // Folder arguments: once the window is up, the options sheet opens with exactly these start
    // paths and the stored mask and filters; OK searches (and keeps them), Cancel leaves the
    // stored paths as they were.
    if (!info.m_resultsFile.empty()) {
        const std::string file = info.m_resultsFile;
        CallAfter([this, file] {
            wxDocManager* manager = m_docManager;
            if (manager == nullptr) return;
            if (auto* view = wxDynamicCast(manager->GetCurrentView(), CGeminexView))
                view->OpenResults(file);
        });
    }
    if (!info.m_startPaths.empty()) {
        const std::vector<std::string> startPaths = info.m_startPaths;
        CallAfter([this, startPaths] {
            wxDocManager* manager = m_docManager;
            if (manager == nullptr) return;
            if (auto* view = wxDynamicCast(manager->GetCurrentView(), CGeminexView))
                view->FindDuplicates(&startPaths);
        });
    }
    return true;
}

void CGeminexApp::UseToolkitTranslations(TextLanguage language) {
    if (wxTranslations::Get() != nullptr && m_ownTranslations && m_toolkitLanguage == language)
        return;
    auto* translations = new wxTranslations;
    if (language == TextLanguage::kChinese) {
        window_platform::SetTranslationsLoader(*translations);
        translations->SetLanguage("zh_CN");
        translations->AddStdCatalog();
    } else {
        // wx's texts are English as written: no catalog, whatever the desktop's language.
        translations->SetLanguage(wxLANGUAGE_ENGLISH_US);
    }
    wxTranslations::Set(translations);  // owned by wx from here on
    m_ownTranslations = true;
    m_toolkitLanguage = language;
}

std::string CGeminexApp::ChosenLanguage() const {
    return m_settings ? m_settings->GetProfileString("Settings", "Language", "") : std::string();
}

void CGeminexApp::ChooseLanguage(TextLanguage language) {
    if (m_settings) m_settings->WriteProfileString("Settings", "Language", LanguageName(language));
}

void CGeminexApp::OnViewLanguage(wxCommandEvent& event) {
    const TextLanguage language = event.GetId() == WxId(cmd::ID_VIEW_LANGUAGE_ENGLISH)
                                      ? TextLanguage::kEnglish
                                      : TextLanguage::kChinese;
    ChooseLanguage(language);
    // The menus, the open dialogs and the list are not rebuilt: the choice counts from the next
    // start, and the message says so in the language chosen.
    if (language != CurrentTextLanguage()) {
        const int id = language == TextLanguage::kEnglish ? IDS_LANGUAGE_NEXT_START_ENGLISH
                                                          : IDS_LANGUAGE_NEXT_START_CHINESE;
        ShowMessageBox(GetMainFrame(), Utf8ToWx(LoadStringText(id)), wxOK | wxICON_INFORMATION);
    }
}

void CGeminexApp::OnUpdateViewLanguage(wxUpdateUIEvent& event) {
    // The language the next start will use: the one chosen here, else the one in use.
    const std::string chosen = ChosenLanguage();
    const TextLanguage next =
        chosen.empty() ? CurrentTextLanguage() : LanguageOfName(chosen, TextLanguage::kEnglish);
    const TextLanguage item = event.GetId() == WxId(cmd::ID_VIEW_LANGUAGE_ENGLISH)
                                  ? TextLanguage::kEnglish
                                  : TextLanguage::kChinese;
    event.Check(item == next);
}

void CGeminexApp::ExitInstance() {
    CloseHelp();
    m_help.reset();
    m_helpBookAdded = false;

    if (m_mainFrame) {
        // Closing the frame closes the document and its view first, as when the user closes it.
        wxWindow* frame = m_mainFrame;
        m_mainFrame = nullptr;
        if (!frame->IsBeingDeleted()) frame->Close(true);
        if (!frame->IsBeingDeleted()) frame->Destroy();
        if (GetTopWindow() == frame) SetTopWindow(nullptr);
    }
    // A frame whose destruction is pending must go before the document manager it refers to.
    DeletePendingObjects();

    if (m_docManager != nullptr) {
        delete m_docManager;  // closes the documents and deletes the templates
        m_docManager = nullptr;
        m_docTemplate = nullptr;
    }
    m_settings.reset();  // flushes
}

wxHtmlHelpController* CGeminexApp::GetHelpController() const { return m_help.get(); }

CMainFrame* CGeminexApp::GetMainFrame() const {
    return wxDynamicCast(static_cast<wxWindow*>(m_mainFrame), CMainFrame);
}

wxString CGeminexApp::HelpBookFolder() {
    // The Chinese book is the original; the English one is a second book inside it.
    return CurrentTextLanguage() == TextLanguage::kEnglish ? "help/en" : "help";
}

wxString CGeminexApp::FindHelpBookBeside(const wxString& exePath) {
    // The executable's real folder (links resolved by the caller) decides, never the current
    // folder: the program is started from anywhere.
    const wxString bin = wxFileName(exePath).GetPath();
    const wxString book = HelpBookFolder();
    const wxString candidates[] = {bin + "/" + book,
                                   bin + "/" + PAIRSCOUT_DATA_FROM_BIN + "/" + book};
    for (const wxString& dir : candidates) {
        // ".." taken away by text: the executable's path has its links resolved already.
        wxFileName book(dir, "pairscout.hhp");
        book.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE);
        if (book.FileExists()) return book.GetFullPath();
    }
    return wxString();
}

wxString CGeminexApp::FindHelpBook() {
    const wxString found = FindHelpBookBeside(wxStandardPaths::Get().GetExecutablePath());
    if (!found.empty()) return found;
    wxString builtDir = wxString::FromUTF8(PAIRSCOUT_HELP_BUILT_DIR);
    if (!builtDir.empty()) {
        if (CurrentTextLanguage() == TextLanguage::kEnglish) builtDir += "/en";
        const wxFileName built(builtDir, "pairscout.hhp");
        if (built.FileExists()) return built.GetFullPath();
    }
    return wxString();
}

bool CGeminexApp::EnsureHelp() {
    if (!m_help) m_help.reset(new CHelpController([this] { return m_mainFrame.get(); }));
    if (!m_helpBookAdded) {
        const wxString book = FindHelpBook();
        if (book.empty() || !m_help->AddBook(wxFileName(book))) return false;
        m_helpBookAdded = true;
    }
    return true;
}

bool CGeminexApp::ShowHelpContents() { return EnsureHelp() && m_help->DisplayContents(); }

bool CGeminexApp::ShowHelpSearch() { return EnsureHelp() && m_help->DisplayIndex(); }

bool CGeminexApp::ShowHelpPage(const wxString& page) { return EnsureHelp() && m_help->ShowPage(page); }

void CGeminexApp::CloseHelp() {
    if (m_help) m_help->CloseWindow();
}

void CGeminexApp::OnAppAbout(wxCommandEvent& /*event*/) {
    CAboutDlg aboutDlg;
    aboutDlg.DoModal();
}

void CGeminexApp::OnHelpContents(wxCommandEvent& event) {
    // A dialog's Help names its page (a file of the book); the menus name none.
    const wxString page = event.GetString();
    if (page.EndsWith(".html"))
        ShowHelpPage(page);
    else
        ShowHelpContents();
}

void CGeminexApp::OnHelpSearch(wxCommandEvent& /*event*/) { ShowHelpSearch(); }

void CGeminexApp::OnMainFrameClose(wxCloseEvent& event) {
    // The help window goes with the main window (it would otherwise keep the program running).
    CloseHelp();
    event.Skip();
}
