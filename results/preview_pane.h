// CPreviewPane: the pane beside the results list that shows the focused file: a picture scaled
// to fit (turned as its EXIF orientation says), or the first lines of a text, then the file's
// size, times, owner, permissions and path, and every copy of its group (a click or Enter on
// one focuses its row in the list).
//
// Files are read and pictures decoded on the pane's worker (LatestWorker): the list never
// waits for a preview, and a preview asked for while an older one is read replaces it. Only
// the bitmap is made on the window's thread.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <wx/image.h>
#include <wx/panel.h>

#include "engine/results/latest_worker.h"

class wxListBox;
class wxStaticBitmap;
class wxStaticText;
class wxTextCtrl;

struct PreviewRequest {
    std::string path;
    int width = 0, height = 0;  // the room the picture may take
};

struct PreviewContent {
    enum Kind { kNothing, kPicture, kText, kMessage };
    Kind kind = kNothing;
    std::vector<std::pair<std::string, std::string>> facts;  // label, value
    wxImage picture;            // scaled to fit, turned upright
    int width = 0, height = 0;  // the picture's own size, upright
    std::vector<std::string> lines;  // text, or the message
    double milliseconds = 0;    // reading, decoding and scaling took
};

// What the pane shows for `request` (plain work: no window; run on the worker). `stale` turns
// true once the pane wants another file: the work then stops early.
PreviewContent LoadPreview(const PreviewRequest& request, const std::function<bool()>& stale);

class CPreviewPane : public wxPanel {
public:
    explicit CPreviewPane(wxWindow* parent);
    ~CPreviewPane() override;

    // One copy of the shown file's group: its list row and path.
    struct Copy {
        long row = -1;
        std::string path;
        bool isProtected = false;
    };
    // Shows the file of `copies[current]` once it is read; the copies are listed at once.
    void ShowFile(std::vector<Copy> copies, std::size_t current);
    // Shows that no file is focused.
    void ShowNothing();
    // The path asked for last ("" after ShowNothing).
    const std::string& Path() const { return m_path; }

    // Called with a copy's row when the user picks it.
    void SetRowChooser(std::function<void(long)> choose) { m_choose = std::move(choose); }
    // For tests: called on the window's thread each time a result is shown.
    void SetShownWatcher(std::function<void(const PreviewContent&)> watch) {
        m_watch = std::move(watch);
    }
    // What is shown now, for tests and pictures.
    const PreviewContent& Shown() const { return m_shown; }
    wxListBox* CopiesList() const { return m_copies; }

private:
    void Take(unsigned generation, PreviewContent content);
    void Ask();
    void ChooseCopy(int index);

    wxStaticBitmap* m_picture = nullptr;
    wxTextCtrl* m_text = nullptr;
    wxTextCtrl* m_facts = nullptr;
    wxStaticText* m_copiesLabel = nullptr;
    wxListBox* m_copies = nullptr;
    std::vector<Copy> m_copyRows;
    std::string m_path;
    wxSize m_asked;  // the room the last request was for
    PreviewContent m_shown;
    std::function<void(long)> m_choose;
    std::function<void(const PreviewContent&)> m_watch;
    // Last: it goes first, so no result arrives for a pane half gone.
    std::unique_ptr<LatestWorker<PreviewRequest, PreviewContent>> m_worker;
};
